#pragma once

#include "user_agent/objects/wrappers/CIM_AuthenticationService.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>
#include <string>

namespace Merrow::UserAgent {

// The CIM class "CIM_StorageHardwareIDManagementService". The initiator identities the array knows.
// Exec methods answer the method's return value (0 done, 4096 job started, anything else
// the array's failure code); empty references and empty reference arrays are not sent.
class CIM_StorageHardwareIDManagementService : public CIM_AuthenticationService {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(CIM_StorageHardwareIDManagementService, CIM_AuthenticationService)

    std::uint32_t ExecCreateStorageHardwareID(const std::string& elementName,
                                              const std::string& storageID, std::uint16_t idType,
                                              const std::string& otherIDType,
                                              const cim::CIMObjectPath& setting,
                                              cim::CIMObjectPath& hardwareID);
    std::uint32_t ExecDeleteStorageHardwareID(const cim::CIMObjectPath& hardwareID);
};

} // namespace Merrow::UserAgent
