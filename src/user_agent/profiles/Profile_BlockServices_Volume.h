#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// A volume (LUN): its setting, its pool, its jobs, its target and the initiators that may
// see it, the volume it is being reconfigured into, and the array's configuration services.
// Containers and accessors are listed in Profile_BlockServices_Volume.def.
class Profile_BlockServices_Volume : public MerrowProfile {
#define MERROW_PROFILE_CLASS Profile_BlockServices_Volume
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_BlockServices_Volume.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
