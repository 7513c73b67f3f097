#include "user_agent/objects/wrappers/Merrow_AccountManagementService.h"

namespace Merrow::UserAgent {

std::uint32_t Merrow_AccountManagementService::ExecCreateAccount(const std::string& userID,
                                                                 const std::string& password,
                                                                 const std::string& role,
                                                                 cim::CIMObjectPath& account) {
    return InvokeExtrinsic("CreateAccount",
                           {In("UserID", userID), In("Password", password), In("Role", role)},
                           {Out("Account", account)});
}

std::uint32_t Merrow_AccountManagementService::ExecDeleteAccount(const cim::CIMObjectPath& account) {
    return InvokeExtrinsic("DeleteAccount", {In("Account", account)}, {});
}

std::uint32_t
Merrow_AccountManagementService::ExecSetAccountPassword(const cim::CIMObjectPath& account,
                                                        const std::string& password) {
    return InvokeExtrinsic("SetAccountPassword",
                           {In("Account", account), In("Password", password)}, {});
}

} // namespace Merrow::UserAgent
