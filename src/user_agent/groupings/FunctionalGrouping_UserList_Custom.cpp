#include "user_agent/groupings/FunctionalGrouping_UserList.h"

#include "user_agent/groupings/GroupingAction.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_UserList::AddUser(const std::string& name,
                                                       const std::string& password,
                                                       const std::string& role,
                                                       cim::CIMObjectPath& account) {
    // The scope names the user, never the password.
    MWSCOPE_OBJ(this, name.c_str());
    return GroupingAction(*this, "m_Merrow_AccountManagementService.ExecCreateAccount()")
        .Run([&] {
            return m_Merrow_AccountManagementService.ExecCreateAccount(name, password, role,
                                                                       account);
        });
}

} // namespace Merrow::UserAgent
