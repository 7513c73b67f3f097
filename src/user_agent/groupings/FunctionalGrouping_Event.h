#pragma once

#include "user_agent/base/DateTime.h"
#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One record of the array's event log.
// Containers and accessors are listed in FunctionalGrouping_Event.def.
class FunctionalGrouping_Event : public MerrowProfile {
public:
    // When the array recorded the event (FunctionalGrouping_Event_Custom.cpp).
    MerrowReturnValue Get_Record_Time(DateTime& time);

#define MERROW_PROFILE_CLASS FunctionalGrouping_Event
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Event.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
