#include "sim/VolumeActions.h"

#include "sim/EventLog.h"

#include "sim/DefaultArray.h"

namespace Merrow::Sim {

std::vector<DiskSpace> VolumeActions::candidates(const ArrayState& state, const std::vector<const SimDisk*>& chosen,
                                                 const std::string& poolId, const SimVolume* freeing)
{
    std::vector<const SimDisk*> disks = chosen;
    if (disks.empty()) {
        for (const auto& [id, disk] : state.disks) {
            if (disk.poolId == poolId && disk.online)
                disks.push_back(&disk);
        }
    }
    std::vector<DiskSpace> spaces;
    spaces.reserve(disks.size());
    for (const SimDisk* disk : disks) {
        const std::uint64_t own = freeing != nullptr ? state.blocksHeldBy(*freeing, disk->id) : 0;
        const std::uint64_t free = state.freeBlocks(*disk) + own;
        spaces.push_back({disk->id, std::min(free, disk->blocks), own != 0});
    }
    return spaces;
}

SimVolumeLayout VolumeActions::layoutFrom(ArrayState& state, const CheckedLayout& layout, const LayoutPlan& plan,
                                          std::uint64_t blocks, const SimVolumeLayout* reuse)
{
    SimVolumeLayout result;
    result.organization = layout.organization;
    result.stripeWidth = plan.stripeWidth;
    result.chunkBytes = layout.chunkBytes;
    result.blocks = blocks;
    for (const ExtentPlan& piece : plan.extents) {
        std::string id;
        if (reuse != nullptr) {
            for (const SimExtent& old : reuse->extents) {
                if (old.diskId == piece.diskId)
                    id = old.id;
            }
        }
        if (id.empty())
            id = state.allocateId(IdPrefix::LeafExtent);
        result.extents.push_back({id, piece.diskId, piece.blocks});
    }
    return result;
}

std::string VolumeActions::create(ModelTransaction& transaction, const std::string& name, const std::string& poolId,
                                  SimVolumeLayout layout, bool ready)
{
    ArrayState& state = transaction.state();
    SimVolume volume;
    volume.id = state.allocateId(IdPrefix::Volume);
    volume.name = name;
    volume.durableName = DefaultArray::durableName(state, volume.id);
    volume.poolId = poolId;
    volume.layout = std::move(layout);
    volume.ready = ready;
    volume.target = DefaultArray::makeTarget(state, volume.id, name);
    const std::string id = volume.id;
    state.volumes.emplace(id, std::move(volume));
    transaction.touchVolume(id);
    recordCreation(transaction, id, name);
    return id;
}

void VolumeActions::recordCreation(ModelTransaction& transaction, const std::string& volumeId,
                                   const std::string& name)
{
    EventLog::record(transaction, EventSeverity::Information, EventCategory::Volume,
                     "Volume '" + name + "' (" + volumeId + ") created");
}

// The id is a copy: callers often pass the volume's own, which goes with the volume.
void VolumeActions::remove(ModelTransaction& transaction, const std::string volumeId)
{
    ArrayState& state = transaction.state();
    transaction.touchVolume(volumeId);
    std::erase_if(state.grants, [&](const auto& item) { return item.second.volumeId == volumeId; });
    std::erase_if(state.sessions, [&](const auto& item) { return item.second.volumeId == volumeId; });
    auto volume = state.volumes.find(volumeId);
    if (volume == state.volumes.end())
        return;
    const std::string name = volume->second.name;
    state.volumes.erase(volume);
    EventLog::record(transaction, EventSeverity::Information, EventCategory::Volume,
                     "Volume '" + name + "' (" + volumeId + ") deleted");
}

bool VolumeActions::hasSessions(const ArrayState& state, const std::string& volumeId)
{
    for (const auto& [id, session] : state.sessions) {
        if (session.volumeId == volumeId)
            return true;
    }
    return false;
}

bool VolumeActions::usesDisk(const ArrayState& state, const std::string& diskId)
{
    for (const auto& [id, volume] : state.volumes) {
        if (state.blocksHeldBy(volume, diskId) != 0)
            return true;
    }
    return false;
}

std::uint32_t VolumeActions::grownLayout(const ArrayState& state, const SimVolume& volume, std::uint64_t blocks,
                                         SimVolumeLayout& grown)
{
    std::vector<ExtentPlan> current;
    std::vector<DiskSpace> free;
    for (const SimExtent& extent : volume.layout.extents) {
        current.push_back({extent.diskId, extent.blocks});
        free.push_back({extent.diskId, state.freeBlocks(state.disks.at(extent.diskId))});
    }
    std::vector<ExtentPlan> plan;
    if (std::uint32_t failure =
            VolumeLayout::grow(volume.layout.organization, volume.layout.stripeWidth, current, blocks, free, plan))
        return failure;
    grown = volume.layout;
    grown.blocks = blocks;
    for (std::size_t i = 0; i < plan.size(); ++i)
        grown.extents[i].blocks = plan[i].blocks;
    return 0;
}

} // namespace Merrow::Sim
