#include "user_agent/profiles/Profile_BlockServices_Extent.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS Profile_BlockServices_Extent
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_BlockServices_Extent.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
