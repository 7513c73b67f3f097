#include "user_agent/groupings/FunctionalGrouping_CorvaneSystem.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_CorvaneSystem
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_CorvaneSystem.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
