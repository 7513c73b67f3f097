#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array as a server: its system settings and all its disks.
// Containers and accessors are listed in Profile_ServerAndVirtualizer.def.
class Profile_ServerAndVirtualizer : public MerrowProfile {
#define MERROW_PROFILE_CLASS Profile_ServerAndVirtualizer
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_ServerAndVirtualizer.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
