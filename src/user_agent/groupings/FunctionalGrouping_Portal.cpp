#include "user_agent/groupings/FunctionalGrouping_Portal.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_Portal
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Portal.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
