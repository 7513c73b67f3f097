#include "user_agent/profiles/Profile_BlockServices_Volume.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS Profile_BlockServices_Volume
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_BlockServices_Volume.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
