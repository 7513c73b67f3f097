#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// Every static network route of the array.
// Containers and accessors are listed in FunctionalGrouping_GlobalStaticNetworkRoutes.def.
class FunctionalGrouping_GlobalStaticNetworkRoutes : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_GlobalStaticNetworkRoutes
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_GlobalStaticNetworkRoutes.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
