#include "sim/DiskFailure.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/EventLog.h"
#include "sim/JobControl.h"

#include <algorithm>
#include <vector>

namespace Merrow::Sim {

namespace {

// CIM OperationalStatus values.
constexpr std::uint16_t kOk = 2;
constexpr std::uint16_t kDegraded = 3;
constexpr std::uint16_t kError = 6;
constexpr std::uint16_t kStarting = 8;

bool redundant(const SimVolume& volume)
{
    return VolumeLayout::redundancy(volume.layout.organization, volume.layout.stripeWidth).noSinglePointOfFailure;
}

bool liesOn(const SimVolume& volume, const std::string& diskId)
{
    return std::any_of(volume.layout.extents.begin(), volume.layout.extents.end(),
                       [&](const SimExtent& extent) { return extent.diskId == diskId; });
}

bool onFailedDisk(const ArrayState& state, const SimVolume& volume)
{
    return std::any_of(volume.layout.extents.begin(), volume.layout.extents.end(), [&](const SimExtent& extent) {
        auto disk = state.disks.find(extent.diskId);
        return disk != state.disks.end() && disk->second.failed;
    });
}

std::vector<SimVolume*> volumesOn(ArrayState& state, const std::string& diskId)
{
    std::vector<SimVolume*> volumes;
    for (auto& [id, volume] : state.volumes) {
        if (liesOn(volume, diskId))
            volumes.push_back(&volume);
    }
    return volumes;
}

// The smallest healthy spare that can hold `blocks`; null when there is none.
SimDisk* findSpare(ArrayState& state, std::uint64_t blocks)
{
    SimDisk* best = nullptr;
    for (auto& [id, disk] : state.disks) {
        if (disk.poolId != PoolId::Spare || !disk.online || disk.failed || disk.blocks < blocks)
            continue;
        if (best == nullptr || disk.blocks < best->blocks)
            best = &disk;
    }
    return best;
}

void moveExtents(SimVolume& volume, const std::string& fromDisk, const std::string& toDisk)
{
    for (SimExtent& extent : volume.layout.extents) {
        if (extent.diskId == fromDisk)
            extent.diskId = toDisk;
    }
}

} // namespace

void DiskFailure::fail(ModelTransaction& transaction, const std::string& diskId)
{
    ArrayState& state = transaction.state();
    SimDisk& disk = state.disks.at(diskId);
    disk.failed = true;
    transaction.touchDisk(diskId);
    for (SimVolume* volume : volumesOn(state, diskId))
        transaction.touchVolume(volume->id);
    EventLog::record(transaction, EventSeverity::Major, EventCategory::Disk,
                     "Disk in slot " + std::to_string(disk.slot) + " failed");
}

std::uint32_t DiskFailure::replaceWithSpare(ModelTransaction& transaction, const std::string& diskId, bool withJobs,
                                            std::int64_t nowMs)
{
    ArrayState& state = transaction.state();
    const std::vector<SimVolume*> volumes = volumesOn(state, diskId);
    if (std::any_of(volumes.begin(), volumes.end(), [](const SimVolume* volume) { return !redundant(*volume); }))
        return ArrayFailure::DeviceInUse;
    const SimDisk& failed = state.disks.at(diskId);
    SimDisk* spare = findSpare(state, failed.blocks - state.freeBlocks(failed));
    if (spare == nullptr)
        return ArrayFailure::NotEnoughDrives;
    spare->poolId = failed.poolId;
    transaction.touchDisk(spare->id);
    for (SimVolume* volume : volumes) {
        moveExtents(*volume, diskId, spare->id);
        volume->rebuilding = true;
        transaction.touchVolume(volume->id);
        if (withJobs)
            JobControl::start(transaction, JobKind::RebuildVolume, volume->id, "Rebuild volume " + volume->name, nowMs);
        else
            JobControl::applyEffect(transaction, JobKind::RebuildVolume, volume->id);
    }
    EventLog::record(transaction, EventSeverity::Degraded, EventCategory::Disk,
                     "Spare disk in slot " + std::to_string(spare->slot) + " replaced disk in slot " +
                         std::to_string(failed.slot));
    return ArrayFailure::Ok;
}

std::uint16_t DiskFailure::volumeStatus(const ArrayState& state, const SimVolume& volume)
{
    if (!volume.ready)
        return kStarting;
    if (onFailedDisk(state, volume))
        return redundant(volume) ? kDegraded : kError;
    return volume.rebuilding ? kDegraded : kOk;
}

} // namespace Merrow::Sim
