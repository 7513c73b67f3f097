#include "user_agent/objects/wrappers/CIM_StorageConfigurationService.h"

namespace Merrow::UserAgent {

std::uint32_t CIM_StorageConfigurationService::ExecCreateOrModifyElementFromStoragePool(
    const std::string& elementName, std::uint16_t elementType, const cim::CIMObjectPath& goal,
    std::uint64_t& size, const cim::CIMObjectPath& inPool, cim::CIMObjectPath& theElement,
    cim::CIMObjectPath& job) {
    return InvokeExtrinsic("CreateOrModifyElementFromStoragePool",
                           {In("ElementName", elementName), In("ElementType", elementType),
                            In("Goal", goal), In("Size", size), In("InPool", inPool),
                            In("TheElement", theElement)},
                           {Out("Size", size), Out("TheElement", theElement), Out("Job", job)});
}

std::uint32_t
CIM_StorageConfigurationService::ExecReturnToStoragePool(const cim::CIMObjectPath& theElement,
                                                         cim::CIMObjectPath& job) {
    return InvokeExtrinsic("ReturnToStoragePool", {In("TheElement", theElement)},
                           {Out("Job", job)});
}

} // namespace Merrow::UserAgent
