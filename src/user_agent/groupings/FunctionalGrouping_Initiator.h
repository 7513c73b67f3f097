#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One initiator identity: its CHAP secret, the targets it may use and its live sessions.
// Containers and accessors are listed in FunctionalGrouping_Initiator.def.
class FunctionalGrouping_Initiator : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_Initiator_Custom.cpp).

    // Removes this initiator identity from the array ("DeleteStorageHardwareID"); every
    // container holding it drops it at once.
    MerrowReturnValue Delete();

#define MERROW_PROFILE_CLASS FunctionalGrouping_Initiator
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Initiator.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
