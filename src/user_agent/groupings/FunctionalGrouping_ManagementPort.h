#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array's management (out-of-band) port.
// Containers and accessors are listed in FunctionalGrouping_ManagementPort.def.
class FunctionalGrouping_ManagementPort : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_ManagementPort
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_ManagementPort.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
