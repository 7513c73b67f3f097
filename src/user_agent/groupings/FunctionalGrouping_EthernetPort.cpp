#include "user_agent/groupings/FunctionalGrouping_EthernetPort.h"

namespace Merrow::UserAgent {

#define MERROW_PROFILE_CLASS FunctionalGrouping_EthernetPort
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_EthernetPort.def"
#include "user_agent/profiles/ProfileTableDefinitions.inc"

} // namespace Merrow::UserAgent
