#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One account of the array's management interface. Its password can be set, never read.
// Containers and accessors are listed in FunctionalGrouping_User.def.
class FunctionalGrouping_User : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_User_Custom.cpp).

    // The password is sent once and never traced.
    MerrowReturnValue SetPassword(const std::string& password);
    // Deletes this account; every container holding it drops its data.
    MerrowReturnValue Delete();

#define MERROW_PROFILE_CLASS FunctionalGrouping_User
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_User.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
