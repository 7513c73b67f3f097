#include "user_agent/groupings/FunctionalGrouping_Controller.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_Controller
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Controller.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
