#pragma once

#include "user_agent/objects/wrappers/CIM_Service.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>
#include <string>

namespace Merrow::UserAgent {

// The CIM class "CIM_StorageConfigurationService". Elements (volumes) made from and returned to
// storage pools. Exec methods answer the method's return value (0 done, 4096 job started, anything
// else the array's failure code); empty references and empty reference arrays are not sent.
class CIM_StorageConfigurationService : public CIM_Service {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(CIM_StorageConfigurationService, CIM_Service)

    std::uint32_t ExecCreateOrModifyElementFromStoragePool(
        const std::string& elementName, std::uint16_t elementType, const cim::CIMObjectPath& goal,
        std::uint64_t& size, const cim::CIMObjectPath& inPool, cim::CIMObjectPath& theElement,
        cim::CIMObjectPath& job);
    std::uint32_t ExecReturnToStoragePool(const cim::CIMObjectPath& theElement,
                                          cim::CIMObjectPath& job);
};

} // namespace Merrow::UserAgent
