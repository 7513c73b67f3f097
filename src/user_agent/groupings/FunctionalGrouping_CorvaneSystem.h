#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array as a whole: its settings and the services of its array-wide actions.
// Containers and accessors are listed in FunctionalGrouping_CorvaneSystem.def.
class FunctionalGrouping_CorvaneSystem : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_CorvaneSystem_Custom.cpp).

    // Shuts the array down, or restarts it when `restart` is set.
    MerrowReturnValue Shutdown(bool restart);

#define MERROW_PROFILE_CLASS FunctionalGrouping_CorvaneSystem
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_CorvaneSystem.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
