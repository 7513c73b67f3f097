#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// Every job of the array; anchored on the array, so that jobs come and go without ending it.
// Containers and accessors are listed in FunctionalGrouping_TaskList.def.
class FunctionalGrouping_TaskList : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_TaskList
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_TaskList.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
