#include "user_agent/groupings/FunctionalGrouping_Initiator.h"

#include "user_agent/groupings/GroupingAction.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_Initiator::Delete() {
    MWSCOPE_OBJ(this, "");
    const MerrowReturnValue deleted =
        GroupingAction(*this, "m_CIM_StorageHardwareIDManagementService.ExecDeleteStorageHardwareID()")
            .Run([&] {
                return m_CIM_StorageHardwareIDManagementService.ExecDeleteStorageHardwareID(
                    GetRootObjectPath());
            });
    // Outside the grouping's lock: the registry reaches containers of other profiles.
    if (!deleted.isFailure())
        CIM_ObjectContainerInterface::InvalidateCacheForObjectPath(GetRootObjectPath());
    return deleted;
}

} // namespace Merrow::UserAgent
