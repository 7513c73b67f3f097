#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array's block services: its pools.
// Containers and accessors are listed in Profile_BlockServices_CorvaneSystem.def.
class Profile_BlockServices_CorvaneSystem : public MerrowProfile {
#define MERROW_PROFILE_CLASS Profile_BlockServices_CorvaneSystem
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_BlockServices_CorvaneSystem.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
