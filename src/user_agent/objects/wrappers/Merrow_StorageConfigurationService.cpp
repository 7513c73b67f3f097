#include "user_agent/objects/wrappers/Merrow_StorageConfigurationService.h"

namespace Merrow::UserAgent {

std::uint32_t Merrow_StorageConfigurationService::ExecCreateVolume(
    const std::string& elementName, std::uint64_t& size, std::uint32_t chunkSize,
    std::uint8_t stripeWidth, std::uint8_t mirrorCount, const cim::CIMObjectPath& pool,
    std::uint16_t volumeOrganization, const std::vector<cim::CIMObjectPath>& storageDevice,
    cim::CIMObjectPath& storageVolume, cim::CIMObjectPath& job) {
    return InvokeExtrinsic(
        "CreateVolume",
        {In("ElementName", elementName), In("Size", size), In("ChunkSize", chunkSize),
         In("StripeWidth", stripeWidth), In("MirrorCount", mirrorCount), In("Pool", pool),
         In("VolumeOrganization", volumeOrganization), In("StorageDevice", storageDevice)},
        {Out("Size", size), Out("StorageVolume", storageVolume), Out("Job", job)});
}

std::uint32_t Merrow_StorageConfigurationService::ExecReconfigureVolume(
    const cim::CIMObjectPath& volume, std::uint64_t& size, std::uint32_t chunkSize,
    std::uint8_t stripeWidth, std::uint8_t mirrorCount, const cim::CIMObjectPath& pool,
    std::uint16_t volumeOrganization, const std::vector<cim::CIMObjectPath>& storageDevice,
    cim::CIMObjectPath& shadowVolume, cim::CIMObjectPath& job) {
    return InvokeExtrinsic("ReconfigureVolume",
                           {In("Volume", volume), In("Size", size), In("ChunkSize", chunkSize),
                            In("StripeWidth", stripeWidth), In("MirrorCount", mirrorCount),
                            In("Pool", pool), In("VolumeOrganization", volumeOrganization),
                            In("StorageDevice", storageDevice)},
                           {Out("Size", size), Out("ShadowVolume", shadowVolume), Out("Job", job)});
}

std::uint32_t Merrow_StorageConfigurationService::ExecGetMaxiumumVolumeSize(
    std::uint32_t chunkSize, std::uint8_t stripeWidth, std::uint8_t mirrorCount,
    std::uint16_t volumeOrganization, const cim::CIMObjectPath& pool,
    const std::vector<cim::CIMObjectPath>& storageDevice, std::uint64_t& maxVolumeSize) {
    return InvokeExtrinsic("GetMaxiumumVolumeSize",
                           {In("ChunkSize", chunkSize), In("StripeWidth", stripeWidth),
                            In("MirrorCount", mirrorCount),
                            In("VolumeOrganization", volumeOrganization), In("Pool", pool),
                            In("StorageDevice", storageDevice)},
                           {Out("MaxVolumeSize", maxVolumeSize)});
}

std::uint32_t
Merrow_StorageConfigurationService::ExecGetBasePool(const cim::CIMObjectPath& controller,
                                                    cim::CIMObjectPath& pool) {
    return InvokeExtrinsic("GetBasePool", {In("Controller", controller)}, {Out("Pool", pool)});
}

std::uint32_t Merrow_StorageConfigurationService::ExecGetAvailablePool(cim::CIMObjectPath& pool) {
    return InvokeExtrinsic("GetAvailablePool", {}, {Out("Pool", pool)});
}

std::uint32_t Merrow_StorageConfigurationService::ExecGetSparePool(cim::CIMObjectPath& pool) {
    return InvokeExtrinsic("GetSparePool", {}, {Out("Pool", pool)});
}

std::uint32_t Merrow_StorageConfigurationService::ExecGetUnavailablePool(cim::CIMObjectPath& pool) {
    return InvokeExtrinsic("GetUnavailablePool", {}, {Out("Pool", pool)});
}

std::uint32_t
Merrow_StorageConfigurationService::ExecTransferDriveByRef(const cim::CIMObjectPath& pool,
                                                           const cim::CIMObjectPath& drive) {
    return InvokeExtrinsic("TransferDriveByRef", {In("Pool", pool), In("Drive", drive)}, {});
}

std::uint32_t Merrow_StorageConfigurationService::ExecInitializeStorageDevice(
    std::uint16_t elementType, const cim::CIMObjectPath& storageDevice, cim::CIMObjectPath& job) {
    return InvokeExtrinsic("InitializeStorageDevice",
                           {In("ElementType", elementType), In("StorageDevice", storageDevice)},
                           {Out("Job", job)});
}

std::uint32_t
Merrow_StorageConfigurationService::ExecRemoveStorageDevice(const cim::CIMObjectPath& storageDevice,
                                                            cim::CIMObjectPath& job) {
    return InvokeExtrinsic("RemoveStorageDevice", {In("StorageDevice", storageDevice)},
                           {Out("Job", job)});
}

std::uint32_t Merrow_StorageConfigurationService::ExecScanStorageElement(
    std::uint16_t scanType, std::uint32_t scheduledTaskPriority,
    const cim::CIMDateTime& scheduledTaskStartTime, std::uint16_t periodicityType,
    std::uint16_t periodicity, const cim::CIMObjectPath& storageElement, cim::CIMObjectPath& job) {
    return InvokeExtrinsic("ScanStorageElement",
                           {In("ScanType", scanType),
                            In("ScheduledTaskPriority", scheduledTaskPriority),
                            In("ScheduledTaskStartTime", scheduledTaskStartTime),
                            In("PeriodicityType", periodicityType), In("Periodicity", periodicity),
                            In("StorageElement", storageElement)},
                           {Out("Job", job)});
}

std::uint32_t Merrow_StorageConfigurationService::ExecRescheduleTask(
    std::uint32_t scheduledTaskPriority, const cim::CIMDateTime& scheduledTaskStartTime,
    std::uint16_t periodicityType, std::uint16_t periodicity, const cim::CIMObjectPath& job) {
    return InvokeExtrinsic("RescheduleTask",
                           {In("ScheduledTaskPriority", scheduledTaskPriority),
                            In("ScheduledTaskStartTime", scheduledTaskStartTime),
                            In("PeriodicityType", periodicityType), In("Periodicity", periodicity),
                            In("Job", job)},
                           {});
}

std::uint32_t Merrow_StorageConfigurationService::ExecAbortTask(const cim::CIMObjectPath& job) {
    return InvokeExtrinsic("AbortTask", {In("Job", job)}, {});
}

std::uint32_t Merrow_StorageConfigurationService::ExecDeleteTask(const cim::CIMObjectPath& job) {
    return InvokeExtrinsic("DeleteTask", {In("Job", job)}, {});
}

std::uint32_t Merrow_StorageConfigurationService::ExecSuspendTask(const cim::CIMObjectPath& job) {
    return InvokeExtrinsic("SuspendTask", {In("Job", job)}, {});
}

std::uint32_t Merrow_StorageConfigurationService::ExecResumeTask(const cim::CIMObjectPath& job) {
    return InvokeExtrinsic("ResumeTask", {In("Job", job)}, {});
}

std::uint32_t Merrow_StorageConfigurationService::ExecInitiateShutdown(bool restart) {
    return InvokeExtrinsic("InitiateShutdown", {In("Restart", restart)}, {});
}

std::uint32_t Merrow_StorageConfigurationService::ExecForceControllerFailover() {
    return InvokeExtrinsic("ForceControllerFailover", {}, {});
}

std::uint32_t Merrow_StorageConfigurationService::ExecTestEmailSnmpNotifications() {
    return InvokeExtrinsic("TestEmailSnmpNotifications", {}, {});
}

std::uint32_t Merrow_StorageConfigurationService::ExecReadPersistenceData(std::string& data) {
    return InvokeExtrinsic("ReadPersistenceData", {}, {Out("Data", data)});
}

std::uint32_t
Merrow_StorageConfigurationService::ExecWritePersistenceData(const std::string& data,
                                                             std::uint16_t persistenceSetting) {
    return InvokeExtrinsic("WritePersistenceData",
                           {In("Data", data), In("PersistenceSetting", persistenceSetting)}, {});
}

} // namespace Merrow::UserAgent
