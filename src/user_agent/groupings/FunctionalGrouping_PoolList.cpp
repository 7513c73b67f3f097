#include "user_agent/groupings/FunctionalGrouping_PoolList.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_PoolList
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_PoolList.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
