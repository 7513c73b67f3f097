#include "user_agent/groupings/FunctionalGrouping_iSCSISession.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_iSCSISession
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_iSCSISession.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
