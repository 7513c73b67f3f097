#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// One iSCSI portal (a TCP endpoint): its IP endpoint, gateway, VLAN, link aggregate and
// live connections.
// Containers and accessors are listed in FunctionalGrouping_Portal.def.
class FunctionalGrouping_Portal : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_Portal_Custom.cpp).

    // Deletes this portal; every container holding it drops it at once.
    MerrowReturnValue Delete();
    // The array pings `ipv4Address` from this portal; `delay` receives the round trip.
    MerrowReturnValue PingRemoteIPAddress(const std::string& ipv4Address, std::uint64_t& delay);

#define MERROW_PROFILE_CLASS FunctionalGrouping_Portal
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_Portal.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
