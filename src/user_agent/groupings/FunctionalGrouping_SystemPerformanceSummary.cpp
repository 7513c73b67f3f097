#include "user_agent/groupings/FunctionalGrouping_SystemPerformanceSummary.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_SystemPerformanceSummary
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_SystemPerformanceSummary.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
