#pragma once

// Link aggregates, portals and ports: the methods of the network configuration service
// and "RequestStateChange" on an Ethernet port. A link aggregate joins ports of one
// controller; a portal (TCP and IP endpoint) sits on one aggregate.

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
