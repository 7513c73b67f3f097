#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One physical Ethernet port: the link aggregate it belongs to and the systems that hold it.
// Containers and accessors are listed in FunctionalGrouping_EthernetPort.def.
class FunctionalGrouping_EthernetPort : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_EthernetPort
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_EthernetPort.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
