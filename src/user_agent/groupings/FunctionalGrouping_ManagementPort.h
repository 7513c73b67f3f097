#pragma once

#include "user_agent/profiles/ProfileTable.h"

namespace Merrow::UserAgent {

// The array's management (out-of-band) port.
// Containers and accessors are listed in FunctionalGrouping_ManagementPort.def.
class FunctionalGrouping_ManagementPort : public MerrowProfile {
public:
    // Actions (FunctionalGrouping_ManagementPort_Custom.cpp).

    // Pings `ipv4Address` from the management port; `delay` receives the array's answer time.
    MerrowReturnValue PingRemoteIPAddress(const std::string& ipv4Address, std::uint64_t& delay);

#define MERROW_PROFILE_CLASS FunctionalGrouping_ManagementPort
#define MERROW_PROFILE_TABLE "user_agent/groupings/FunctionalGrouping_ManagementPort.def"
#include "user_agent/profiles/ProfileTableDeclarations.inc"
};

} // namespace Merrow::UserAgent
