#include "user_agent/groupings/FunctionalGrouping_iSCSITarget.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_iSCSITarget
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_iSCSITarget.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
