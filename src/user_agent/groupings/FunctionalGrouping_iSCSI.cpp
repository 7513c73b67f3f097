#include "user_agent/groupings/FunctionalGrouping_iSCSI.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_iSCSI
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_iSCSI.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
