#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The accounts of the array's management interface and the service that makes them.
// Containers and accessors are listed in FunctionalGrouping_UserList.def.
class FunctionalGrouping_UserList : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_UserList_Custom.cpp).

    // A new account; `account` receives its path. The password is sent once and never traced.
    MerrowReturnValue AddUser(const std::string& name, const std::string& password,
                              const std::string& role, cim::CIMObjectPath& account);

#define MERROW_PROFILE_CLASS FunctionalGrouping_UserList
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_UserList.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
