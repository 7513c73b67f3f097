#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One connection of a live iSCSI session: its session and the portal it came in on.
// Containers and accessors are listed in FunctionalGrouping_iSCSIConnection.def.
class FunctionalGrouping_iSCSIConnection : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_iSCSIConnection
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_iSCSIConnection.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
