#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array's volumes.
// Containers and accessors are listed in FunctionalGrouping_VolumeList.def.
class FunctionalGrouping_VolumeList : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_VolumeList
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_VolumeList.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
