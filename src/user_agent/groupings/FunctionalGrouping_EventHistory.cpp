#include "user_agent/groupings/FunctionalGrouping_EventHistory.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_EventHistory
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_EventHistory.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
