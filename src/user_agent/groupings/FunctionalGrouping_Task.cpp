#include "user_agent/groupings/FunctionalGrouping_Task.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_Task
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Task.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
