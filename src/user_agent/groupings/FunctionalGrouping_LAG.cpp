#include "user_agent/groupings/FunctionalGrouping_LAG.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_LAG
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_LAG.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
