#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One iSCSI target (bound to exactly one volume): its endpoint, session and connection
// settings, its volume, the initiators with access, its CHAP secret and its live sessions.
// Containers and accessors are listed in FunctionalGrouping_iSCSITarget.def.
class FunctionalGrouping_iSCSITarget : public MerrowProfile {
#define MERROW_PROFILE_CLASS FunctionalGrouping_iSCSITarget
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_iSCSITarget.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
