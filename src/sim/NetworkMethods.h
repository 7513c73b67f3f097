#pragma once

// Link aggregates, portals and ports: the methods of the network configuration service
// and "RequestStateChange" on an Ethernet port. A link aggregate joins ports of one
// controller; a portal (TCP and IP endpoint) sits on one aggregate.
//
// "PingRemoteIPProtocolEndpoint" pings from the portal it names, or from the management
// port when the reference is left out or names no instance (an empty path): clients that
// manage the array through its management port ping without a portal. A reference to a
// portal that does not exist is refused. Only hosts on the sending interface's subnet
// answer; others time out.

#include "sim/MethodCall.h"

#include <cstdint>

namespace Merrow::Sim {

class NetworkMethods {
public:
    static std::uint32_t createLinkAggregator(MethodCall& call);
    static std::uint32_t addPortsToAggregator(MethodCall& call);
    static std::uint32_t removePortsFromAggregator(MethodCall& call);
    static std::uint32_t deleteLinkAggregator(MethodCall& call);
    static std::uint32_t replaceLagAndChangeVlan(MethodCall& call);
    static std::uint32_t createPortal(MethodCall& call);
    static std::uint32_t deletePortal(MethodCall& call);
    static std::uint32_t pingRemote(MethodCall& call);
    static std::uint32_t requestStateChange(MethodCall& call);

    // What "PingRemoteIPProtocolEndpoint" answers in "Delay" for an address that answers.
    static constexpr std::uint64_t kPingDelay = 250;
};

} // namespace Merrow::Sim
