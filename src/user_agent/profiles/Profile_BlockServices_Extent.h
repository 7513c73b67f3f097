#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The part of a volume on one disk: the volume it belongs to and the disk it lies on.
// Containers and accessors are listed in Profile_BlockServices_Extent.def.
class Profile_BlockServices_Extent : public MerrowProfile {
#define MERROW_PROFILE_CLASS Profile_BlockServices_Extent
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_BlockServices_Extent.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
