#pragma once

#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array's battery and fail-over policies and the battery's state.
// Containers and accessors are listed in FunctionalGrouping_SystemPolicy.def.
class FunctionalGrouping_SystemPolicy : public MerrowProfile {
public:
    // The numeric accessors above as the array's enumerations (FunctionalGrouping_SystemPolicy_Custom.cpp).
    // The setters refuse a value that may not be chosen ("Unknown", "Undefined") with
    // UA_E_INVALIDARG before any request.
    MerrowReturnValue Get_Policy_BatteryPolicy(UAEnums::CvnBatteryPolicy& policy);
    MerrowReturnValue Set_Policy_BatteryPolicy(const UAEnums::CvnBatteryPolicy& policy);
    MerrowReturnValue Get_Policy_FailoverPolicy(UAEnums::CvnFailoverPolicy& policy);
    MerrowReturnValue Set_Policy_FailoverPolicy(const UAEnums::CvnFailoverPolicy& policy);
    MerrowReturnValue Get_Policy_BatteryState(UAEnums::CvnBatteryState& state);

#define MERROW_PROFILE_CLASS FunctionalGrouping_SystemPolicy
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_SystemPolicy.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
