#include "user_agent/profiles/Profile_ServerAndVirtualizer.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS Profile_ServerAndVirtualizer
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_ServerAndVirtualizer.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
