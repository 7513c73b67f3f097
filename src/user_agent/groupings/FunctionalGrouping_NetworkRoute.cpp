#include "user_agent/groupings/FunctionalGrouping_NetworkRoute.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_NetworkRoute
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_NetworkRoute.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
