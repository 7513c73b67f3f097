#include "user_agent/groupings/FunctionalGrouping_TaskList.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_TaskList
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_TaskList.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
