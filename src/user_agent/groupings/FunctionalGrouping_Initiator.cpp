#include "user_agent/groupings/FunctionalGrouping_Initiator.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_Initiator
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Initiator.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
