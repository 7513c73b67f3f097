#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The routes a route depends on (those whose subnet holds its gateway).
// Containers and accessors are listed in FunctionalGrouping_AssociatedNetworkRoutes.def.
class FunctionalGrouping_AssociatedNetworkRoutes : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_AssociatedNetworkRoutes
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_AssociatedNetworkRoutes.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
