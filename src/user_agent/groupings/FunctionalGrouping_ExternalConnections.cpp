#include "user_agent/groupings/FunctionalGrouping_ExternalConnections.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_ExternalConnections
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_ExternalConnections.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
