#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// How a volume is composed: its setting and the extents it is made of.
// Containers and accessors are listed in Profile_BlockServices_VolumeComposition.def.
class Profile_BlockServices_VolumeComposition : public MerrowProfile {
#define MERROW_PROFILE_CLASS Profile_BlockServices_VolumeComposition
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_BlockServices_VolumeComposition.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
