#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One job of the array.
// Containers and accessors are listed in FunctionalGrouping_Task.def.
class FunctionalGrouping_Task : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_Task
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Task.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
