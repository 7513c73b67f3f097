#include "user_agent/groupings/FunctionalGrouping_AssociatedNetworkRoutes.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_AssociatedNetworkRoutes
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_AssociatedNetworkRoutes.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
