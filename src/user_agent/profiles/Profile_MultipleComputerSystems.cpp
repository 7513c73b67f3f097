#include "user_agent/profiles/Profile_MultipleComputerSystems.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS Profile_MultipleComputerSystems
#define MERROW_PROFILE_TABLE "user_agent/profiles/Profile_MultipleComputerSystems.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
