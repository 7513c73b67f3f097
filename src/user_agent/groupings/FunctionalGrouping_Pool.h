#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One storage pool and the disks in it.
// Containers and accessors are listed in FunctionalGrouping_Pool.def.
class FunctionalGrouping_Pool : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_Pool
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Pool.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
