#pragma once

#include "user_agent/objects/wrappers/CIM_AccountManagementService.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>
#include <string>

namespace Merrow::UserAgent {

// The CIM class "Merrow_AccountManagementService". The accounts of the array's management
// interface. Exec methods answer the method's return value (0 done, anything else the array's
// failure code). Passwords go to the array only as method parameters, which are never traced.
class Merrow_AccountManagementService : public CIM_AccountManagementService {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(Merrow_AccountManagementService, CIM_AccountManagementService)

    std::uint32_t ExecCreateAccount(const std::string& userID, const std::string& password,
                                    const std::string& role, cim::CIMObjectPath& account);
    std::uint32_t ExecDeleteAccount(const cim::CIMObjectPath& account);
    std::uint32_t ExecSetAccountPassword(const cim::CIMObjectPath& account,
                                         const std::string& password);
};

} // namespace Merrow::UserAgent
