#pragma once

// The data ports, link aggregates, iSCSI portals and network routes.
//
// Association chains served here:
//   controller -CIM_SystemDevice-> its CIM_EthernetPorts; top -CIM_SystemDevice-> every port
//   port -CIM_SystemDevice-> its controller and the top system
//   port -CIM_DeviceSAPImplementation-> the Merrow_DataLinkEndpoint (link aggregate) it is in
//   controller -CIM_HostedAccessPoint-> its link aggregates
//   link aggregate -CIM_BindsTo-> CIM_IPProtocolEndpoint -CIM_BindsTo-> CIM_TCPProtocolEndpoint
//   portal (TCP endpoint) -CIM_BindsTo-> its CIM_IPProtocolEndpoint and its link aggregate
//   portal -CIM_RemoteAccessAvailableToElement-> CIM_RemoteServiceAccessPoint (the gateway)
//   portal -CIM_ConcreteDependency-> CIM_NetworkVLAN
//   top -CIM_HostedAccessPoint-> portals (and their IP endpoints)
//   route -Merrow_NetworkRouteDependency-> the routes whose network holds its gateway
// A portal binds to its link aggregate directly as well as through its IP endpoint,
// because the portal grouping asks its aggregate in one step.

#include "sim/ProjectionContext.h"

#include <optional>

namespace Merrow::Sim {

class NetworkProjection {
public:
    explicit NetworkProjection(const ProjectionContext& context) : m_context(context) {}

    ProjectedGroup port(const std::string& portId) const;
    ProjectedGroup lag(const std::string& lagId) const;
    ProjectedGroup portal(const std::string& portalId) const;
    ProjectedGroup route(const std::string& routeId) const;

    // The IPv4 address as a number; nullopt when the text is not a dotted quad.
    static std::optional<std::uint32_t> parseIpv4(const std::string& text);
    // A contiguous run of one bits from the top.
    static bool isSubnetMask(std::uint32_t mask);

private:
    const ProjectionContext& m_context;
};

} // namespace Merrow::Sim
