#include "user_agent/objects/wrappers/CIM_StorageHardwareIDManagementService.h"

namespace Merrow::UserAgent {

std::uint32_t CIM_StorageHardwareIDManagementService::ExecCreateStorageHardwareID(
    const std::string& elementName, const std::string& storageID, std::uint16_t idType,
    const std::string& otherIDType, const cim::CIMObjectPath& setting,
    cim::CIMObjectPath& hardwareID) {
    return InvokeExtrinsic("CreateStorageHardwareID",
                           {In("ElementName", elementName), In("StorageID", storageID),
                            In("IDType", idType), In("OtherIDType", otherIDType),
                            In("Setting", setting)},
                           {Out("HardwareID", hardwareID)});
}

std::uint32_t CIM_StorageHardwareIDManagementService::ExecDeleteStorageHardwareID(
    const cim::CIMObjectPath& hardwareID) {
    return InvokeExtrinsic("DeleteStorageHardwareID", {In("HardwareID", hardwareID)}, {});
}

} // namespace Merrow::UserAgent
