#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One controller: the array above it and its chassis, its Ethernet ports and link
// aggregates, its settings and firmware, and the services its actions call.
// Containers and accessors are listed in FunctionalGrouping_Controller.def.
class FunctionalGrouping_Controller : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_Controller_Custom.cpp).

    // A link aggregate of `physicalPorts` (ports of this controller), enabled, with the
    // array's default speed, frame type and MTU; `lag` receives its path.
    MerrowReturnValue CreateLAG(const std::vector<cim::CIMObjectPath>& physicalPorts,
                                bool vlanEnabled, cim::CIMObjectPath& lag);
    // Shuts the array down, or restarts it when `restart` is set.
    MerrowReturnValue Shutdown(bool restart);
    // The path of this controller's base pool.
    MerrowReturnValue GetBasePool(cim::CIMObjectPath& pool);

#define MERROW_PROFILE_CLASS FunctionalGrouping_Controller
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Controller.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
