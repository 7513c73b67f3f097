#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One controller: the array above it and its chassis, its Ethernet ports and link
// aggregates, its settings and firmware, and the services its actions call.
// Containers and accessors are listed in FunctionalGrouping_Controller.def.
class FunctionalGrouping_Controller : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_Controller
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Controller.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
