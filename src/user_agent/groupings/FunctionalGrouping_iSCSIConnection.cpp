#include "user_agent/groupings/FunctionalGrouping_iSCSIConnection.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_iSCSIConnection
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_iSCSIConnection.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
