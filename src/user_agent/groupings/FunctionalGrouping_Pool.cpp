#include "user_agent/groupings/FunctionalGrouping_Pool.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_Pool
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Pool.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
