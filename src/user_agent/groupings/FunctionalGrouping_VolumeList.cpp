#include "user_agent/groupings/FunctionalGrouping_VolumeList.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_VolumeList
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_VolumeList.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
