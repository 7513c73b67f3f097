#include "user_agent/groupings/FunctionalGrouping_PoolList.h"

#include "user_agent/groupings/GroupingAction.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_PoolList::GetGlobalSparePool(cim::CIMObjectPath& pool) {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this, "m_Merrow_StorageConfigurationService.ExecGetSparePool()")
        .Run([&] { return m_Merrow_StorageConfigurationService.ExecGetSparePool(pool); });
}

MerrowReturnValue FunctionalGrouping_PoolList::GetGlobalAvailablePool(cim::CIMObjectPath& pool) {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this, "m_Merrow_StorageConfigurationService.ExecGetAvailablePool()")
        .Run([&] { return m_Merrow_StorageConfigurationService.ExecGetAvailablePool(pool); });
}

MerrowReturnValue FunctionalGrouping_PoolList::GetGlobalUnavailablePool(cim::CIMObjectPath& pool) {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this, "m_Merrow_StorageConfigurationService.ExecGetUnavailablePool()")
        .Run([&] { return m_Merrow_StorageConfigurationService.ExecGetUnavailablePool(pool); });
}

} // namespace Merrow::UserAgent
