#include "sim/StorageMethods.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/ArrayNameRules.h"
#include "sim/DiskFailure.h"
#include "sim/JobControl.h"
#include "sim/VolumeActions.h"
#include "sim/VolumeLayout.h"

#include "cim/value/CIMKeyBinding.h"

#include <algorithm>
#include <string_view>

namespace Merrow::Sim {

namespace {

using namespace ArrayFailure;

bool isBasePool(const std::string& poolId)
{
    return poolId == PoolId::BaseA || poolId == PoolId::BaseB;
}

std::uint32_t readLayout(MethodCall& call, CheckedLayout& layout)
{
    LayoutRequest request;
    request.organization = call.in<std::uint16_t>("VolumeOrganization", 0);
    request.stripeWidth = call.in<std::uint8_t>("StripeWidth", 0);
    request.mirrorCount = call.in<std::uint8_t>("MirrorCount", 0);
    request.chunkBytes = call.in<std::uint32_t>("ChunkSize", 0);
    return VolumeLayout::check(request, layout);
}

// The base pool a request names; a request that names none means controller A's.
std::uint32_t readBasePool(MethodCall& call, const char* parameter, std::string& poolId)
{
    const auto path = call.in<cim::CIMObjectPath>(parameter);
    poolId = path ? call.pool(*path) : std::string(PoolId::BaseA);
    return isBasePool(poolId) ? Ok : InvalidPoolNumber;
}

// The disks named in "StorageDevice"; each must lie in one of `pools`.
std::uint32_t readDevices(MethodCall& call, std::initializer_list<std::string_view> pools,
                          std::vector<const SimDisk*>& disks)
{
    for (const cim::CIMObjectPath& path : call.references("StorageDevice")) {
        const SimDisk* disk = call.disk(path);
        if (disk == nullptr || std::find(pools.begin(), pools.end(), disk->poolId) == pools.end())
            return InvalidDevice;
        if (!disk->online)
            return DeviceOffline;
        disks.push_back(disk);
    }
    return Ok;
}

std::uint32_t startJobOrFinish(MethodCall& call, JobKind kind, const std::string& ownerId, std::string name)
{
    if (!call.settings().jobsEnabled) {
        JobControl::applyEffect(call.transaction(), kind, ownerId);
        return Ok;
    }
    const std::string jobId = JobControl::start(call.transaction(), kind, ownerId, std::move(name), call.nowMilliseconds());
    call.out("Job", cim::CIMValue(MethodCall::instancePath("CIM_ConcreteJob", jobId)));
    return JobStarted;
}

cim::CIMValue sizeOf(std::uint64_t blocks) { return cim::CIMValue(blocks * VolumeLayout::kBlockSize); }

std::uint32_t checkNewName(const ArrayState& state, const std::string& name, std::uint32_t maxVolumes)
{
    if (name.empty())
        return NoVolumeName;
    if (ArrayNameRules::problem(name))
        return InvalidParameter;
    if (state.findVolumeByName(name) != nullptr)
        return DuplicateVolumeName;
    if (state.volumes.size() >= maxVolumes)
        return TooManyVolumes;
    return Ok;
}

// The volume a reference names; shadows and unknown volumes answer their own failures.
std::uint32_t readVolume(MethodCall& call, const char* parameter, SimVolume*& volume)
{
    const auto path = call.in<cim::CIMObjectPath>(parameter);
    volume = path ? call.volume(*path) : nullptr;
    if (volume != nullptr)
        return Ok;
    if (path) {
        const cim::CIMKeyBinding* id = path->findKeyBinding("DeviceID");
        if (id != nullptr && call.state().findShadowOwner(id->getValue()) != nullptr)
            return ShadowVolume;
    }
    return VolumeNotFound;
}

// A volume that can take a new layout or size.
std::uint32_t checkChangeable(const SimVolume& volume)
{
    if (volume.reconfiguration || !volume.ready)
        return VolumeOperationInProgress;
    return Ok;
}

std::uint32_t outPool(MethodCall& call, const char* poolId)
{
    call.out("Pool", cim::CIMValue(MethodCall::instancePath("CIM_StoragePool", poolId)));
    return Ok;
}

std::vector<const SimDisk*> onlineDisksOf(const ArrayState& state, const std::string& poolId)
{
    std::vector<const SimDisk*> disks;
    for (const auto& [id, disk] : state.disks) {
        if (disk.poolId == poolId && disk.online)
            disks.push_back(&disk);
    }
    return disks;
}

// The disks a re-laid-out volume may use: the ones it uses, then those `named`. The array adds the
// disks a client names to those of the volume; it never drops the volume's data disks for
// them. Naming none offers the whole pool, so a reconfiguration that needs no more disks
// stays where it is.
std::vector<const SimDisk*> disksForReconfiguration(const ArrayState& state, const SimVolume& volume,
                                                    const std::vector<const SimDisk*>& named)
{
    std::vector<const SimDisk*> disks;
    auto add = [&](const SimDisk* disk) {
        if (disk->online && std::find(disks.begin(), disks.end(), disk) == disks.end())
            disks.push_back(disk);
    };
    for (const SimExtent& extent : volume.layout.extents) {
        if (auto disk = state.disks.find(extent.diskId); disk != state.disks.end())
            add(&disk->second);
    }
    for (const SimDisk* disk : named.empty() ? onlineDisksOf(state, volume.poolId) : named)
        add(disk);
    return disks;
}

std::uint32_t growVolume(MethodCall& call, SimVolume& volume)
{
    if (std::uint32_t failure = checkChangeable(volume))
        return failure;
    const std::uint64_t bytes = call.in<std::uint64_t>("Size", 0);
    const std::uint64_t blocks = VolumeLayout::blocksForBytes(bytes);
    if (blocks <= volume.layout.blocks)
        return StorageMethods::kInvalidParameter;

    SimVolumeLayout layout;
    if (std::uint32_t failure = VolumeActions::grownLayout(call.state(), volume, blocks, layout))
        return failure;
    volume.reconfiguration = SimReconfiguration{"", std::move(layout)};
    call.transaction().touchVolume(volume.id);
    call.out("TheElement", cim::CIMValue(call.devicePath("CIM_StorageVolume", volume.id)));
    call.out("Size", sizeOf(blocks));
    return startJobOrFinish(call, JobKind::GrowVolume, volume.id, "Grow volume " + volume.name);
}

std::uint32_t createVolumeFromPool(MethodCall& call)
{
    const std::string name = call.in<std::string>("ElementName", "");
    if (std::uint32_t failure = checkNewName(call.state(), name, call.settings().maxVolumes))
        return failure;
    std::string poolId;
    if (std::uint32_t failure = readBasePool(call, "InPool", poolId))
        return failure;
    const std::uint64_t blocks = VolumeLayout::blocksForBytes(call.in<std::uint64_t>("Size", 0));
    if (blocks == 0)
        return VolumeSizeTooSmall;
    const CheckedLayout layout{VolumeOrganization::Jbod, 1, VolumeLayout::kDefaultChunkBytes};
    LayoutPlan plan;
    if (std::uint32_t failure = VolumeLayout::plan(layout, blocks, VolumeActions::candidates(call.state(), {}, poolId), plan))
        return failure;
    const bool withJob = call.settings().jobsEnabled;
    const std::string id = VolumeActions::create(call.transaction(), name, poolId,
                                                 VolumeActions::layoutFrom(call.state(), layout, plan, blocks), !withJob);
    call.out("TheElement", cim::CIMValue(call.devicePath("CIM_StorageVolume", id)));
    call.out("Size", sizeOf(blocks));
    return startJobOrFinish(call, JobKind::CreateVolume, id, "Create volume " + name);
}

} // namespace

std::uint32_t StorageMethods::createVolume(MethodCall& call)
{
    const std::string name = call.in<std::string>("ElementName", "");
    if (std::uint32_t failure = checkNewName(call.state(), name, call.settings().maxVolumes))
        return failure;
    CheckedLayout layout;
    if (std::uint32_t failure = readLayout(call, layout))
        return failure;
    std::string poolId;
    if (std::uint32_t failure = readBasePool(call, "Pool", poolId))
        return failure;
    std::vector<const SimDisk*> disks;
    if (std::uint32_t failure = readDevices(call, {poolId}, disks))
        return failure;
    const std::uint64_t blocks = VolumeLayout::blocksForBytes(call.in<std::uint64_t>("Size", 0));
    if (blocks == 0)
        return VolumeSizeTooSmall;

    LayoutPlan plan;
    if (std::uint32_t failure = VolumeLayout::plan(layout, blocks, VolumeActions::candidates(call.state(), disks, poolId), plan))
        return failure;
    const bool withJob = call.settings().jobsEnabled;
    const std::string id = VolumeActions::create(call.transaction(), name, poolId,
                                                 VolumeActions::layoutFrom(call.state(), layout, plan, blocks), !withJob);
    call.out("StorageVolume", cim::CIMValue(call.devicePath("CIM_StorageVolume", id)));
    call.out("Size", sizeOf(blocks));
    return startJobOrFinish(call, JobKind::CreateVolume, id, "Create volume " + name);
}

std::uint32_t StorageMethods::reconfigureVolume(MethodCall& call)
{
    SimVolume* volume = nullptr;
    if (std::uint32_t failure = readVolume(call, "Volume", volume))
        return failure;
    if (std::uint32_t failure = checkChangeable(*volume))
        return failure;
    CheckedLayout layout;
    if (std::uint32_t failure = readLayout(call, layout))
        return failure;
    std::string poolId;
    if (std::uint32_t failure = readBasePool(call, "Pool", poolId))
        return failure;
    if (call.has("Pool") && poolId != volume->poolId)
        return InvalidPoolNumber;
    std::vector<const SimDisk*> named;
    if (std::uint32_t failure = readDevices(call, {volume->poolId}, named))
        return failure;
    const std::vector<const SimDisk*> disks = disksForReconfiguration(call.state(), *volume, named);
    const std::uint64_t bytes = call.in<std::uint64_t>("Size", volume->layout.blocks * VolumeLayout::kBlockSize);
    const std::uint64_t blocks = VolumeLayout::blocksForBytes(bytes);
    if (blocks == 0)
        return VolumeSizeTooSmall;

    LayoutPlan plan;
    const auto candidates = VolumeActions::candidates(call.state(), disks, volume->poolId, volume);
    if (std::uint32_t failure = VolumeLayout::plan(layout, blocks, candidates, plan))
        return failure;
    SimVolumeLayout newLayout = VolumeActions::layoutFrom(call.state(), layout, plan, blocks, &volume->layout);
    call.out("Size", sizeOf(blocks));
    if (!call.settings().jobsEnabled) {
        volume->layout = std::move(newLayout);
        call.transaction().touchVolume(volume->id);
        call.out("ShadowVolume", cim::CIMValue(call.devicePath("CIM_StorageVolume", volume->id)));
        return Ok;
    }
    const std::string shadowId = call.state().allocateId(IdPrefix::Volume);
    volume->reconfiguration = SimReconfiguration{shadowId, std::move(newLayout)};
    call.transaction().touchVolume(volume->id);
    call.out("ShadowVolume", cim::CIMValue(call.devicePath("CIM_StorageVolume", shadowId)));
    return startJobOrFinish(call, JobKind::ReconfigureVolume, volume->id, "Reconfigure volume " + volume->name);
}

std::uint32_t StorageMethods::getMaximumVolumeSize(MethodCall& call)
{
    CheckedLayout layout;
    if (std::uint32_t failure = readLayout(call, layout))
        return failure;
    std::string poolId;
    if (std::uint32_t failure = readBasePool(call, "Pool", poolId))
        return failure;
    // Clients ask before they move the chosen disks into the base pool, as they do right
    // before creating the volume; disks still waiting in the available pool count with all
    // their space.
    std::vector<const SimDisk*> disks;
    if (std::uint32_t failure = readDevices(call, {poolId, PoolId::Available}, disks))
        return failure;
    const std::uint64_t blocks = VolumeLayout::maxVolumeBlocks(layout, VolumeActions::candidates(call.state(), disks, poolId));
    call.out("MaxVolumeSize", sizeOf(blocks));
    return Ok;
}

std::uint32_t StorageMethods::createOrModifyElement(MethodCall& call)
{
    if (call.in<std::uint16_t>("ElementType", 2) != 2)
        return kInvalidParameter;
    if (!call.has("TheElement"))
        return createVolumeFromPool(call);
    SimVolume* volume = nullptr;
    if (std::uint32_t failure = readVolume(call, "TheElement", volume))
        return failure;
    return growVolume(call, *volume);
}

std::uint32_t StorageMethods::returnToStoragePool(MethodCall& call)
{
    SimVolume* volume = nullptr;
    if (std::uint32_t failure = readVolume(call, "TheElement", volume))
        return failure;
    if (volume->reconfiguration)
        return DeleteWhileReconfiguring;
    if (VolumeActions::hasSessions(call.state(), volume->id))
        return LunInUse;
    // Deleting a volume that is still being created ends the creation job.
    for (auto& [jobId, job] : call.state().jobs) {
        if (job.ownerId == volume->id && job.kind == JobKind::CreateVolume && JobControl::isActive(job))
            JobControl::cancel(call.transaction(), job, call.nowMilliseconds());
    }
    if (call.state().volumes.count(volume->id) != 0)
        VolumeActions::remove(call.transaction(), volume->id);
    return Ok;
}

std::uint32_t StorageMethods::getBasePool(MethodCall& call)
{
    const auto controller = call.in<cim::CIMObjectPath>("Controller");
    if (!controller)
        return outPool(call, PoolId::BaseA);
    const cim::CIMKeyBinding* name = controller->findKeyBinding("Name");
    const ModelNames& names = call.view().names;
    if (name == nullptr)
        return InvalidControllerNumber;
    if (name->getValue() == names.controllerName(1))
        return outPool(call, PoolId::BaseB);
    if (name->getValue() == names.controllerName(0) || name->getValue() == names.systemName())
        return outPool(call, PoolId::BaseA);
    return InvalidControllerNumber;
}

std::uint32_t StorageMethods::getAvailablePool(MethodCall& call) { return outPool(call, PoolId::Available); }
std::uint32_t StorageMethods::getSparePool(MethodCall& call) { return outPool(call, PoolId::Spare); }
std::uint32_t StorageMethods::getUnavailablePool(MethodCall& call) { return outPool(call, PoolId::Unavailable); }

std::uint32_t StorageMethods::transferDriveByRef(MethodCall& call)
{
    const auto drive = call.in<cim::CIMObjectPath>("Drive");
    SimDisk* disk = drive ? call.disk(*drive) : nullptr;
    if (disk == nullptr)
        return InvalidDevice;
    const auto poolPath = call.in<cim::CIMObjectPath>("Pool");
    const std::string poolId = poolPath ? call.pool(*poolPath) : std::string();
    if (poolId.empty())
        return InvalidPoolNumber;
    if (poolId == disk->poolId)
        return Ok;
    if (VolumeActions::usesDisk(call.state(), disk->id))
        return DeviceInUse;
    if (!disk->online && isBasePool(poolId))
        return DeviceOffline;
    disk->poolId = poolId;
    call.transaction().touchDisk(disk->id);
    return Ok;
}

std::uint32_t StorageMethods::initializeStorageDevice(MethodCall& call)
{
    const auto device = call.in<cim::CIMObjectPath>("StorageDevice");
    SimDisk* disk = device ? call.disk(*device) : nullptr;
    if (disk == nullptr)
        return InvalidDevice;
    // A disk that was taken down may come back; a broken one may not.
    if (disk->failed)
        return DeviceFailure;
    if (VolumeActions::usesDisk(call.state(), disk->id))
        return DeviceInUse;
    return startJobOrFinish(call, JobKind::InitializeDisk, disk->id, "Initialize disk " + std::to_string(disk->slot));
}

std::uint32_t StorageMethods::removeStorageDevice(MethodCall& call)
{
    const auto device = call.in<cim::CIMObjectPath>("StorageDevice");
    SimDisk* disk = device ? call.disk(*device) : nullptr;
    if (disk == nullptr)
        return InvalidDevice;
    if (!disk->online)
        return DeviceOffline;
    for (const auto& [jobId, job] : call.state().jobs) {
        if (job.kind == JobKind::RemoveDisk && JobControl::isActive(job))
            return OnlyOneDownDrive;
    }
    // A healthy disk under volumes stays; a failed one hands its place to a spare.
    if (VolumeActions::usesDisk(call.state(), disk->id)) {
        if (!disk->failed)
            return DeviceInUse;
        if (std::uint32_t failure = DiskFailure::replaceWithSpare(call.transaction(), disk->id,
                                                                  call.settings().jobsEnabled, call.nowMilliseconds()))
            return failure;
    }
    return startJobOrFinish(call, JobKind::RemoveDisk, disk->id, "Down disk " + std::to_string(disk->slot));
}

std::uint32_t StorageMethods::scanStorageElement(MethodCall& call)
{
    SimVolume* volume = nullptr;
    if (std::uint32_t failure = readVolume(call, "StorageElement", volume))
        return failure;
    // 2 is a media scan, 3 a parity scan, which only parity volumes have.
    const std::uint16_t scanType = call.in<std::uint16_t>("ScanType", 2);
    if (scanType != 2 && scanType != 3)
        return InvalidParameter;
    if (scanType == 3 && volume->layout.organization != VolumeOrganization::Parity)
        return InvalidParameter;
    std::int64_t startMs = 0;
    if (const auto start = call.in<cim::CIMDateTime>("ScheduledTaskStartTime"); start && start->isTimestamp())
        startMs = start->toMicroseconds() / 1000;
    const char* what = scanType == 3 ? "Parity scan " : "Media scan ";
    const std::string jobId = JobControl::start(call.transaction(), JobKind::ScanVolume, volume->id,
                                                what + volume->name, call.nowMilliseconds(), startMs);
    SimJob& job = call.state().jobs.at(jobId);
    job.scanType = scanType;
    job.priority = call.in<std::uint32_t>("ScheduledTaskPriority", 0);
    job.periodicityType = call.in<std::uint16_t>("PeriodicityType", 1);
    job.periodicity = call.in<std::uint16_t>("Periodicity", 0);
    call.out("Job", cim::CIMValue(MethodCall::instancePath("CIM_ConcreteJob", jobId)));
    return JobStarted;
}

} // namespace Merrow::Sim
