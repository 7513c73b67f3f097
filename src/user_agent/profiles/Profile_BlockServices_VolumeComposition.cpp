#include "user_agent/profiles/Profile_BlockServices_VolumeComposition.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS Profile_BlockServices_VolumeComposition
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_BlockServices_VolumeComposition.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
