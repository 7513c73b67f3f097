#include "user_agent/groupings/FunctionalGrouping_User.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_User
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_User.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
