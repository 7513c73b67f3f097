#include "user_agent/groupings/FunctionalGrouping_Event.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_Event
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Event.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
