#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One link aggregate: its member ports and the portals on it.
// Containers and accessors are listed in FunctionalGrouping_LAG.def.
class FunctionalGrouping_LAG : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_LAG_Custom.cpp).

    // A network portal on this link aggregate; `portal` receives its path. An empty
    // `defaultGateway` leaves the portal without one.
    MerrowReturnValue CreatePortal(const std::string& ipv4Address, const std::string& subnetMask,
                                   const std::string& defaultGateway, std::uint16_t vlanId,
                                   cim::CIMObjectPath& portal);
    // Deletes this link aggregate; every container holding it drops its data.
    MerrowReturnValue Delete();
    MerrowReturnValue ReplaceLAGandChangeVLAN(bool vlanEnabled);

#define MERROW_PROFILE_CLASS FunctionalGrouping_LAG
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_LAG.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
