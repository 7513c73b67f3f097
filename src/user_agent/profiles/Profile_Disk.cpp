#include "user_agent/profiles/Profile_Disk.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS Profile_Disk
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_Disk.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
