#include "sim/StorageProjection.h"

#include "sim/DiskFailure.h"
#include "sim/VolumeSettings.h"

#include "cim/value/CIMDateTime.h"

namespace Merrow::Sim {

namespace {

constexpr std::uint16_t kStarting = 8;
constexpr std::uint16_t kOk = 2;
constexpr std::uint16_t kError = 6;
constexpr std::uint16_t kStopped = 10;

std::uint16_t diskStatus(const SimDisk& disk)
{
    if (disk.failed)
        return kError;
    return disk.online ? kOk : kStopped;
}

cim::CIMValue status(std::uint16_t value) { return cim::CIMValue(std::vector<std::uint16_t>{value}); }
cim::CIMValue u16(std::uint16_t value) { return cim::CIMValue(value); }
cim::CIMValue u32(std::uint32_t value) { return cim::CIMValue(value); }
cim::CIMValue u64(std::uint64_t value) { return cim::CIMValue(value); }

cim::CIMDateTime timestamp(std::int64_t milliseconds) { return cim::CIMDateTime::fromUnixMicroseconds(milliseconds * 1000); }

cim::CIMDateTime interval(std::int64_t milliseconds)
{
    const std::int64_t seconds = milliseconds / 1000;
    return cim::CIMDateTime::interval(static_cast<std::uint32_t>(seconds / 86400), static_cast<int>(seconds / 3600 % 24),
                                      static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60),
                                      static_cast<std::uint32_t>(milliseconds % 1000 * 1000));
}

std::uint16_t jobState(std::uint16_t operationalStatus)
{
    switch (operationalStatus) {
    case JobStatus::Running:
        return 4;
    case JobStatus::Paused:
        return 5;
    case JobStatus::Scheduled:
        return 2;
    case JobStatus::Waiting:
        return 3;
    case JobStatus::Completed:
        return 7;
    case JobStatus::Cancelled:
        return 8;
    default:
        return 10;
    }
}

// A failed job has ended too: Error comes first, which is the element clients read.
cim::CIMValue jobStatus(std::uint16_t operationalStatus)
{
    if (operationalStatus == JobStatus::Failed)
        return cim::CIMValue(std::vector<std::uint16_t>{JobStatus::Failed, JobStatus::Completed});
    return status(operationalStatus);
}

const char* jobKindName(JobKind kind)
{
    switch (kind) {
    case JobKind::CreateVolume:
        return "CreateVolume";
    case JobKind::ReconfigureVolume:
        return "ReconfigureVolume";
    case JobKind::GrowVolume:
        return "GrowVolume";
    case JobKind::InitializeDisk:
        return "InitializeStorageDevice";
    case JobKind::RemoveDisk:
        return "RemoveStorageDevice";
    case JobKind::ScanVolume:
        return "ScanStorageElement";
    case JobKind::RebuildVolume:
        return "RebuildStorageElement";
    }
    return "Job";
}

} // namespace

ProjectedGroup StorageProjection::disk(const std::string& diskId) const
{
    ProjectedGroup group;
    auto found = m_context.state.disks.find(diskId);
    if (found == m_context.state.disks.end())
        return group;
    const SimDisk& disk = found->second;
    const std::uint64_t freeBlocks = disk.online ? m_context.state.freeBlocks(disk) : 0;
    const std::string slot = std::to_string(disk.slot);
    const std::string extentId = ModelNames::diskExtentId(diskId);

    group.objects.push_back(m_context.device("CIM_DiskDrive", diskId)
                                .set("ElementName", "Disk " + slot)
                                .set("Name", diskId)
                                .set("SlotNumber", u16(disk.slot))
                                // Kilobytes of 1000 bytes, as the property is defined.
                                .set("MaxMediaSize", u64(disk.blocks * VolumeLayout::kBlockSize / 1000))
                                .set("DefaultBlockSize", u64(VolumeLayout::kBlockSize))
                                .set("Capabilities", cim::CIMValue(std::vector<std::uint16_t>{4}))
                                .set("OperationalStatus", status(diskStatus(disk)))
                                .set("EnabledState", u16(disk.online ? 2 : 3))
                                .set("HealthState", u16(disk.online && !disk.failed ? 5 : 20))
                                .build());
    group.objects.push_back(m_context.device("CIM_StorageExtent", extentId)
                                .set("ElementName", "Disk " + slot + " extent")
                                .set("BlockSize", u64(VolumeLayout::kBlockSize))
                                .set("NumberOfBlocks", u64(disk.blocks))
                                .set("ConsumableBlocks", u64(disk.blocks))
                                .set("NumberOfAvailableBlocks", u64(freeBlocks))
                                .set("Primordial", cim::CIMValue(true))
                                .set("DataRedundancy", u16(1))
                                .set("PackageRedundancy", u16(0))
                                .set("NoSinglePointOfFailure", cim::CIMValue(false))
                                .set("ExtentStripeLength", u16(1))
                                .set("IsBasedOnUnderlyingRedundancy", cim::CIMValue(false))
                                .set("OperationalStatus", status(diskStatus(disk)))
                                .build());
    group.objects.push_back(InstanceBuilder("CIM_PhysicalMedia")
                                .set("CreationClassName", "CIM_PhysicalMedia")
                                .set("Tag", ModelNames::mediaTag(diskId))
                                .set("ElementName", "Disk " + slot + " media")
                                .set("SerialNumber", disk.serialNumber)
                                .set("Model", disk.model)
                                .set("Manufacturer", disk.vendor)
                                .set("Version", disk.firmwareRevision)
                                .set("Capacity", u64(disk.blocks * VolumeLayout::kBlockSize))
                                .set("FreeCapacity", u64(freeBlocks * VolumeLayout::kBlockSize))
                                .set("MediaType", u16(29))
                                .set("Removable", cim::CIMValue(true))
                                .build());
    group.objects.push_back(InstanceBuilder("Merrow_DriveSMARTStatus")
                                .set("InstanceID", ModelNames::smartId(diskId))
                                .set("ElementName", "Disk " + slot + " SMART status")
                                .set("SMARTEnabled", cim::CIMValue(true))
                                .set("PredictFailure", cim::CIMValue(false))
                                .set("Temperature", u16(static_cast<std::uint16_t>(30 + disk.slot % 10)))
                                .set("PowerOnHours", u32(1000u * disk.slot))
                                .build());

    const std::string diskKey = ModelNames::diskKey(diskId);
    const std::string extentKey = ModelNames::diskExtentKey(diskId);
    const std::string mediaKey = InstanceStore::objectKey("CIM_PhysicalMedia", ModelNames::mediaTag(diskId));
    const std::string poolKey = ModelNames::poolKey(disk.poolId);
    group.links.push_back(ProjectionContext::link("CIM_SystemDevice", m_context.names.systemKey(), diskKey));
    group.links.push_back(ProjectionContext::link("CIM_MediaPresent", diskKey, extentKey));
    group.links.push_back(ProjectionContext::link("CIM_RealizesExtent", mediaKey, extentKey));
    group.links.push_back(ProjectionContext::link("CIM_Realizes", mediaKey, diskKey));
    group.links.push_back(ProjectionContext::link("CIM_ConcreteComponent", poolKey, extentKey));
    group.links.push_back(ProjectionContext::link("CIM_ConcreteComponent", poolKey, diskKey));
    group.links.push_back(ProjectionContext::link("Merrow_SMARTDataForDrive", diskKey,
                                                  InstanceStore::objectKey("Merrow_DriveSMARTStatus", ModelNames::smartId(diskId))));
    group.links.push_back(ProjectionContext::link(
        "CIM_PackageInSlot", InstanceStore::objectKey("CIM_Slot", ModelNames::slotTag(disk.slot)), mediaKey));
    return group;
}

cim::CIMInstance StorageProjection::volumeInstance(const std::string& deviceId, const std::string& elementName,
                                                   const std::string& durableName, const SimVolumeLayout& layout,
                                                   std::uint16_t operationalStatus) const
{
    const VolumeRedundancy redundancy = VolumeLayout::redundancy(layout.organization, layout.stripeWidth);
    return m_context.device("CIM_StorageVolume", deviceId)
        .set("ElementName", elementName)
        .set("Name", durableName)
        .set("NameFormat", u16(9))
        .set("BlockSize", u64(VolumeLayout::kBlockSize))
        .set("NumberOfBlocks", u64(layout.blocks))
        .set("ConsumableBlocks", u64(layout.blocks))
        .set("DataRedundancy", u16(redundancy.dataRedundancy))
        .set("PackageRedundancy", u16(redundancy.packageRedundancy))
        .set("NoSinglePointOfFailure", cim::CIMValue(redundancy.noSinglePointOfFailure))
        .set("ExtentStripeLength", u16(redundancy.extentStripeLength))
        .set("IsBasedOnUnderlyingRedundancy", cim::CIMValue(false))
        .set("Primordial", cim::CIMValue(false))
        .set("OperationalStatus", status(operationalStatus))
        .set("EnabledState", u16(2))
        .set("HealthState", u16(5))
        .build();
}

void StorageProjection::addVolumeObject(ProjectedGroup& group, const SimVolume& volume) const
{
    const SimVolumeLayout& layout = volume.layout;
    group.objects.push_back(volumeInstance(volume.id, volume.name, volume.durableName, layout,
                                           DiskFailure::volumeStatus(m_context.state, volume)));
    const VolumeRedundancy redundancy = VolumeLayout::redundancy(layout.organization, layout.stripeWidth);
    InstanceBuilder setting("CIM_StorageSettingWithHints");
    setting.set("InstanceID", ModelNames::volumeSettingId(volume.id))
        .set("ElementName", volume.name + " setting")
        .set("ExtentStripeLength", u16(redundancy.extentStripeLength))
        .set("ExtentStripeLengthMin", u16(redundancy.extentStripeLength))
        .set("ExtentStripeLengthMax", u16(redundancy.extentStripeLength))
        .set("DataRedundancyGoal", u16(redundancy.dataRedundancy))
        .set("DataRedundancyMin", u16(redundancy.dataRedundancy))
        .set("DataRedundancyMax", u16(redundancy.dataRedundancy))
        .set("PackageRedundancyGoal", u16(redundancy.packageRedundancy))
        .set("PackageRedundancyMin", u16(redundancy.packageRedundancy))
        .set("PackageRedundancyMax", u16(redundancy.packageRedundancy))
        .set("NoSinglePointOfFailure", cim::CIMValue(redundancy.noSinglePointOfFailure))
        .set("UserDataStripeDepth", u64(layout.chunkBytes))
        .set("VolumeOrganization", u16(static_cast<std::uint16_t>(layout.organization)));
    VolumeSettings::project(setting, volume);
    group.objects.push_back(setting.build());
    const std::string volumeKey = ModelNames::volumeKey(volume.id);
    group.links.push_back(ProjectionContext::link("CIM_SystemDevice", m_context.names.systemKey(), volumeKey));
    group.links.push_back(ProjectionContext::link(
        "CIM_ElementSettingData", volumeKey,
        InstanceStore::objectKey("CIM_StorageSettingWithHints", ModelNames::volumeSettingId(volume.id))));
    group.links.push_back(ProjectionContext::link("CIM_AllocatedFromStoragePool", ModelNames::poolKey(volume.poolId), volumeKey));
}

void StorageProjection::addLeafExtents(ProjectedGroup& group, const SimVolume& volume) const
{
    const std::string volumeKey = ModelNames::volumeKey(volume.id);
    for (const SimExtent& extent : volume.layout.extents) {
        auto disk = m_context.state.disks.find(extent.diskId);
        if (disk == m_context.state.disks.end())
            continue;
        group.objects.push_back(m_context.device("Merrow_LeafExtent", extent.id)
                                    .set("ElementName", volume.name + " on disk " + std::to_string(disk->second.slot))
                                    .set("BlockSize", u64(VolumeLayout::kBlockSize))
                                    .set("NumberOfBlocks", u64(extent.blocks))
                                    .set("ConsumableBlocks", u64(extent.blocks))
                                    .set("Size", u64(extent.blocks))
                                    .set("Primordial", cim::CIMValue(false))
                                    .set("OperationalStatus", status(kOk))
                                    .build());
        const std::string leafKey = ModelNames::leafExtentKey(extent.id);
        group.links.push_back(ProjectionContext::link("CIM_BasedOn", leafKey, volumeKey, "CIM_StorageVolume"));
        group.links.push_back(ProjectionContext::link("CIM_BasedOn", ModelNames::diskExtentKey(extent.diskId), leafKey));
        group.links.push_back(ProjectionContext::link("CIM_BasedOn", ModelNames::diskKey(extent.diskId), leafKey));
    }
}

void StorageProjection::addShadow(ProjectedGroup& group, const SimVolume& volume) const
{
    if (!volume.reconfiguration || volume.reconfiguration->shadowId.empty())
        return;
    const SimReconfiguration& reconfiguration = *volume.reconfiguration;
    group.objects.push_back(volumeInstance(reconfiguration.shadowId, volume.name + " (reconfiguring)",
                                           volume.durableName + "-S", reconfiguration.layout, kStarting));
    const std::string shadowKey = ModelNames::volumeKey(reconfiguration.shadowId);
    group.links.push_back(ProjectionContext::link("Merrow_VolumeReconfiguring", shadowKey, ModelNames::volumeKey(volume.id)));
    group.links.push_back(ProjectionContext::link("CIM_AllocatedFromStoragePool", ModelNames::poolKey(volume.poolId), shadowKey));
}

void StorageProjection::addTarget(ProjectedGroup& group, const SimVolume& volume) const
{
    const SimTarget& target = volume.target;
    const std::string endpointName = ModelNames::targetEndpointName(target.iqn);
    group.objects.push_back(m_context.device("CIM_SCSIProtocolController", target.id)
                                .set("ElementName", target.name)
                                .set("Name", target.iqn)
                                .set("NameFormat", u16(4))
                                .set("MaxUnitsControlled", u32(1))
                                .set("OperationalStatus", status(kOk))
                                .set("EnabledState", u16(2))
                                .build());
    group.objects.push_back(m_context.accessPoint("CIM_iSCSIProtocolEndpoint", m_context.names.systemName(), endpointName)
                                .set("ElementName", target.name + " endpoint")
                                .set("Role", u16(3))
                                .set("Identifier", u16(1))
                                .set("ProtocolIFType", u16(4096))
                                .set("EnabledState", u16(2))
                                .set("OperationalStatus", status(kOk))
                                .build());

    cim::CIMInstance sessionSettings = InstanceBuilder("CIM_iSCSISessionSettings")
                                           .set("InstanceID", ModelNames::sessionSettingsId(target.id))
                                           .set("ElementName", target.name + " session settings")
                                           .set("MaxConnectionsPerSession", u16(1))
                                           .set("InitialR2TPreference", cim::CIMValue(true))
                                           .set("ImmediateDataPreference", cim::CIMValue(true))
                                           .set("MaxOutstandingR2T", u32(1))
                                           .set("MaxUnsolicitedFirstDataBurstLength", u32(65536))
                                           .set("MaxDataBurstLength", u32(262144))
                                           .set("DataSequenceInOrderPreference", cim::CIMValue(true))
                                           .set("DataPDUInOrderPreference", cim::CIMValue(true))
                                           .set("DefaultTimeToWaitPreference", u32(2))
                                           .set("DefaultTimeToRetainPreference", u32(20))
                                           .set("ErrorRecoveryLevelPreference", u32(0))
                                           .set("PrimaryAuthenticationMethod", u16(target.primaryAuthentication))
                                           .set("SecondaryAuthenticationMethod", u16(target.secondaryAuthentication))
                                           .build();
    ProjectionContext::applySettings(sessionSettings, target.settings);
    group.objects.push_back(std::move(sessionSettings));

    cim::CIMInstance connectionSettings = InstanceBuilder("CIM_iSCSIConnectionSettings")
                                              .set("InstanceID", ModelNames::connectionSettingsId(target.id))
                                              .set("ElementName", target.name + " connection settings")
                                              .set("MaxReceiveDataSegmentLength", u32(65536))
                                              .set("PrimaryAuthenticationMethod", u16(target.primaryAuthentication))
                                              .set("SecondaryAuthenticationMethod", u16(target.secondaryAuthentication))
                                              .set("PrimaryHeaderDigestMethod", u16(2))
                                              .set("SecondaryHeaderDigestMethod", u16(2))
                                              .set("PrimaryDataDigestMethod", u16(2))
                                              .set("SecondaryDataDigestMethod", u16(2))
                                              .set("RequireSecondaryHeaderDigest", cim::CIMValue(false))
                                              .set("RequireSecondaryDataDigest", cim::CIMValue(false))
                                              .build();
    ProjectionContext::applySettings(connectionSettings, target.settings);
    group.objects.push_back(std::move(connectionSettings));

    group.objects.push_back(InstanceBuilder("CIM_SharedSecret")
                                .set("SystemCreationClassName", "CIM_ComputerSystem")
                                .set("SystemName", m_context.names.systemName())
                                .set("ServiceCreationClassName", "CIM_iSCSIConfigurationService")
                                .set("ServiceName", ServiceName::IscsiConfiguration)
                                .set("RemoteID", target.iqn)
                                .set("ElementName", target.name + " CHAP secret")
                                .set("Secret", target.secret)
                                .set("Protocol", "CHAP")
                                .set("Algorithm", "MD5")
                                .build());

    const std::string targetKey = ModelNames::targetKey(target.id);
    group.links.push_back(ProjectionContext::link("CIM_SystemDevice", m_context.names.systemKey(), targetKey));
    group.links.push_back(ProjectionContext::link("CIM_ProtocolControllerForUnit", targetKey, ModelNames::volumeKey(volume.id)));
    const std::string endpointKey = InstanceStore::objectKey("CIM_iSCSIProtocolEndpoint", endpointName);
    group.links.push_back(ProjectionContext::link("CIM_SAPAvailableForElement2", endpointKey, targetKey));
    group.links.push_back(ProjectionContext::link("CIM_HostedAccessPoint", m_context.names.systemKey(), endpointKey));
    group.links.push_back(ProjectionContext::link(
        "CIM_ElementSettingData", targetKey,
        InstanceStore::objectKey("CIM_iSCSISessionSettings", ModelNames::sessionSettingsId(target.id))));
    group.links.push_back(ProjectionContext::link(
        "CIM_ElementSettingData", targetKey,
        InstanceStore::objectKey("CIM_iSCSIConnectionSettings", ModelNames::connectionSettingsId(target.id))));
    group.links.push_back(ProjectionContext::link("CIM_ConcreteIdentity", targetKey,
                                                  InstanceStore::objectKey("CIM_SharedSecret", target.iqn)));
}

ProjectedGroup StorageProjection::volume(const std::string& volumeId) const
{
    ProjectedGroup group;
    auto found = m_context.state.volumes.find(volumeId);
    if (found == m_context.state.volumes.end())
        return group;
    const SimVolume& volume = found->second;
    addVolumeObject(group, volume);
    addLeafExtents(group, volume);
    addShadow(group, volume);
    addTarget(group, volume);
    return group;
}

std::string StorageProjection::ownerKey(const std::string& ownerId) const
{
    if (m_context.state.volumes.count(ownerId) != 0)
        return ModelNames::volumeKey(ownerId);
    if (m_context.state.disks.count(ownerId) != 0)
        return ModelNames::diskKey(ownerId);
    return {};
}

ProjectedGroup StorageProjection::job(const std::string& jobId) const
{
    ProjectedGroup group;
    auto found = m_context.state.jobs.find(jobId);
    if (found == m_context.state.jobs.end())
        return group;
    const SimJob& job = found->second;
    InstanceBuilder builder("CIM_ConcreteJob");
    builder.set("InstanceID", job.id)
        .set("Name", jobKindName(job.kind))
        .set("ElementName", job.name)
        .set("Owner", job.ownerId)
        .set("OperationalStatus", jobStatus(job.status))
        .set("JobState", u16(jobState(job.status)))
        .set("PercentComplete", u16(job.percentComplete))
        .set("Priority", u32(job.priority))
        .set("TimeSubmitted", cim::CIMValue(timestamp(job.createdMs)))
        .set("ElapsedTime", cim::CIMValue(interval(job.runMs)))
        .set("RepeatPeriodicity", u16(job.periodicityType))
        .set("RepeatInterval", u16(job.periodicity))
        .set("DeleteOnCompletion", cim::CIMValue(true));
    if (job.status == JobStatus::Failed) {
        builder.set("ErrorCode", u16(static_cast<std::uint16_t>(job.failure.errorCode)))
            .set("ErrorDescription", job.failure.errorDescription);
    } else {
        builder.set("ErrorCode", u16(0));
    }
    // Times not reached are left out rather than sent as null: some clients (wbemcli among
    // them) cannot read a property element without a value.
    if (job.startedMs != 0)
        builder.set("StartTime", cim::CIMValue(timestamp(job.startedMs)));
    if (job.scheduledStartMs != 0)
        builder.set("ScheduledStartTime", cim::CIMValue(timestamp(job.scheduledStartMs)));
    group.objects.push_back(builder.build());

    const std::string jobKey = ModelNames::jobKey(job.id);
    const std::string owner = ownerKey(job.ownerId);
    if (!owner.empty())
        group.links.push_back(ProjectionContext::link("CIM_AffectedJobElement", owner, jobKey));
    group.links.push_back(ProjectionContext::link(
        "CIM_OwningJobElement",
        ModelNames::serviceKey("Merrow_StorageConfigurationService", ServiceName::StorageConfiguration), jobKey));
    return group;
}

} // namespace Merrow::Sim
