#include "user_agent/profiles/Profile_BlockServices_CorvaneSystem.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS Profile_BlockServices_CorvaneSystem
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_BlockServices_CorvaneSystem.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
