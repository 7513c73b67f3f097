#include "user_agent/groupings/FunctionalGrouping_ManagementPort.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_ManagementPort
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_ManagementPort.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
