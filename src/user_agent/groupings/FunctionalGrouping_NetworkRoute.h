#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One static network route.
// Containers and accessors are listed in FunctionalGrouping_NetworkRoute.def.
class FunctionalGrouping_NetworkRoute : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_NetworkRoute
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_NetworkRoute.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
