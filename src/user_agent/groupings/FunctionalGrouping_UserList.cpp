#include "user_agent/groupings/FunctionalGrouping_UserList.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_UserList
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_UserList.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
