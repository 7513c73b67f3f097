#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array's event log and its records.
// Containers and accessors are listed in FunctionalGrouping_EventHistory.def.
class FunctionalGrouping_EventHistory : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_EventHistory_Custom.cpp).

    // Empties the array's event log.
    MerrowReturnValue ClearLog();

#define MERROW_PROFILE_CLASS FunctionalGrouping_EventHistory
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_EventHistory.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
