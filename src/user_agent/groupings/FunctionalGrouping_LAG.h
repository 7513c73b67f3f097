#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One link aggregate: its member ports and the portals on it.
// Containers and accessors are listed in FunctionalGrouping_LAG.def.
class FunctionalGrouping_LAG : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_LAG
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_LAG.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
