#include "user_agent/groupings/FunctionalGrouping_User.h"

#include "user_agent/groupings/GroupingAction.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_User::SetPassword(const std::string& password) {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this, "m_Merrow_AccountManagementService.ExecSetAccountPassword()")
        .Run([&] {
            return m_Merrow_AccountManagementService.ExecSetAccountPassword(GetRootObjectPath(),
                                                                            password);
        });
}

MerrowReturnValue FunctionalGrouping_User::Delete() {
    MWSCOPE_OBJ(this, "");
    const MerrowReturnValue deleted =
        GroupingAction(*this, "m_Merrow_AccountManagementService.ExecDeleteAccount()").Run([&] {
            return m_Merrow_AccountManagementService.ExecDeleteAccount(GetRootObjectPath());
        });
    // Readers must not see the account after a successful delete, whenever the array's
    // deletion indication arrives. Outside the grouping's lock: the registry reaches
    // containers of other profiles.
    if (!deleted.isFailure())
        CIM_ObjectContainerInterface::InvalidateCacheForObjectPath(GetRootObjectPath());
    return deleted;
}

} // namespace Merrow::UserAgent
