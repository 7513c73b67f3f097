#include "user_agent/groupings/FunctionalGrouping_GlobalStaticNetworkRoutes.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_GlobalStaticNetworkRoutes
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_GlobalStaticNetworkRoutes.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
