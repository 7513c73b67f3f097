#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array's iSCSI side: targets, portals, initiators, link aggregates, Ethernet ports
// and the services that configure them.
// Containers and accessors are listed in FunctionalGrouping_iSCSI.def.
class FunctionalGrouping_iSCSI : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_iSCSI
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_iSCSI.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
