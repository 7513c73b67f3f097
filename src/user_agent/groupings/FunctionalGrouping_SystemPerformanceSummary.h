#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// What the array holds, counted: disks, media, volumes, initiators, sessions and targets.
// Containers and accessors are listed in FunctionalGrouping_SystemPerformanceSummary.def.
class FunctionalGrouping_SystemPerformanceSummary : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_SystemPerformanceSummary
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_SystemPerformanceSummary.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
