#include "user_agent/groupings/FunctionalGrouping_SystemPolicy.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_SystemPolicy
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_SystemPolicy.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
