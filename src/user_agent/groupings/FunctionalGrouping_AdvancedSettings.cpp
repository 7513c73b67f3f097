#include "user_agent/groupings/FunctionalGrouping_AdvancedSettings.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_AdvancedSettings
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_AdvancedSettings.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
