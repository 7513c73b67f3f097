#pragma once

// Methods of the account management service (accounts of the array's management
// interface) and of the event log.
//
// Accounts: a user name is 1 to 32 letters, digits, ".", "_" or "-" and unique; a password is
// 8 to 32 characters; the role is "Administrator", "Operator" or "Monitor". The last
// administrator cannot be deleted. Every account change goes into the event history
// (without the password).

#include "sim/MethodCall.h"

#include <cstdint>

namespace Merrow::Sim {

class AdministrationMethods {
public:
    static std::uint32_t createAccount(MethodCall& call);
    static std::uint32_t deleteAccount(MethodCall& call);
    static std::uint32_t setAccountPassword(MethodCall& call);
    static std::uint32_t clearLog(MethodCall& call);
};

} // namespace Merrow::Sim
