#pragma once

#include "cim/value/CIMDateTime.h"
#include "user_agent/objects/wrappers/CIM_StorageConfigurationService.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

// The CIM class "Merrow_StorageConfigurationService". The array's own volume, pool, drive, task and
// system methods. Exec methods answer the method's return value (0 done, 4096 job started, anything
// else the array's failure code); empty references and empty reference arrays are not sent.
class Merrow_StorageConfigurationService : public CIM_StorageConfigurationService {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(Merrow_StorageConfigurationService,
                                 CIM_StorageConfigurationService)

    std::uint32_t ExecCreateVolume(const std::string& elementName, std::uint64_t& size,
                                   std::uint32_t chunkSize, std::uint8_t stripeWidth,
                                   std::uint8_t mirrorCount, const cim::CIMObjectPath& pool,
                                   std::uint16_t volumeOrganization,
                                   const std::vector<cim::CIMObjectPath>& storageDevice,
                                   cim::CIMObjectPath& storageVolume, cim::CIMObjectPath& job);
    std::uint32_t ExecReconfigureVolume(const cim::CIMObjectPath& volume, std::uint64_t& size,
                                        std::uint32_t chunkSize, std::uint8_t stripeWidth,
                                        std::uint8_t mirrorCount, const cim::CIMObjectPath& pool,
                                        std::uint16_t volumeOrganization,
                                        const std::vector<cim::CIMObjectPath>& storageDevice,
                                        cim::CIMObjectPath& shadowVolume, cim::CIMObjectPath& job);
    std::uint32_t ExecGetMaxiumumVolumeSize(std::uint32_t chunkSize, std::uint8_t stripeWidth,
                                            std::uint8_t mirrorCount,
                                            std::uint16_t volumeOrganization,
                                            const cim::CIMObjectPath& pool,
                                            const std::vector<cim::CIMObjectPath>& storageDevice,
                                            std::uint64_t& maxVolumeSize);
    std::uint32_t ExecGetBasePool(const cim::CIMObjectPath& controller, cim::CIMObjectPath& pool);
    std::uint32_t ExecGetAvailablePool(cim::CIMObjectPath& pool);
    std::uint32_t ExecGetSparePool(cim::CIMObjectPath& pool);
    std::uint32_t ExecGetUnavailablePool(cim::CIMObjectPath& pool);
    std::uint32_t ExecTransferDriveByRef(const cim::CIMObjectPath& pool,
                                         const cim::CIMObjectPath& drive);
    std::uint32_t ExecInitializeStorageDevice(std::uint16_t elementType,
                                              const cim::CIMObjectPath& storageDevice,
                                              cim::CIMObjectPath& job);
    std::uint32_t ExecRemoveStorageDevice(const cim::CIMObjectPath& storageDevice,
                                          cim::CIMObjectPath& job);
    std::uint32_t ExecScanStorageElement(std::uint16_t scanType,
                                         std::uint32_t scheduledTaskPriority,
                                         const cim::CIMDateTime& scheduledTaskStartTime,
                                         std::uint16_t periodicityType, std::uint16_t periodicity,
                                         const cim::CIMObjectPath& storageElement,
                                         cim::CIMObjectPath& job);
    std::uint32_t ExecRescheduleTask(std::uint32_t scheduledTaskPriority,
                                     const cim::CIMDateTime& scheduledTaskStartTime,
                                     std::uint16_t periodicityType, std::uint16_t periodicity,
                                     const cim::CIMObjectPath& job);
    std::uint32_t ExecAbortTask(const cim::CIMObjectPath& job);
    std::uint32_t ExecDeleteTask(const cim::CIMObjectPath& job);
    std::uint32_t ExecSuspendTask(const cim::CIMObjectPath& job);
    std::uint32_t ExecResumeTask(const cim::CIMObjectPath& job);
    std::uint32_t ExecInitiateShutdown(bool restart);
    std::uint32_t ExecForceControllerFailover();
    std::uint32_t ExecTestEmailSnmpNotifications();
    std::uint32_t ExecReadPersistenceData(std::string& data);
    std::uint32_t ExecWritePersistenceData(const std::string& data,
                                           std::uint16_t persistenceSetting);
};

} // namespace Merrow::UserAgent
