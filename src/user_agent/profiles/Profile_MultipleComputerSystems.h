#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array and its controllers.
// Containers and accessors are listed in Profile_MultipleComputerSystems.def.
class Profile_MultipleComputerSystems : public MerrowProfile {
#define MERROW_PROFILE_CLASS Profile_MultipleComputerSystems
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_MultipleComputerSystems.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
