#include "sim/NetworkProjection.h"

#include <cctype>
#include <cstdio>

namespace Merrow::Sim {

namespace {

cim::CIMValue status(std::uint16_t value) { return cim::CIMValue(std::vector<std::uint16_t>{value}); }

std::string controllerLetter(std::uint8_t controller)
{
    return std::string(1, ModelNames::controllerLetter(controller));
}

} // namespace

std::optional<std::uint32_t> NetworkProjection::parseIpv4(const std::string& text)
{
    unsigned parts[4];
    char tail = 0;
    if (std::sscanf(text.c_str(), "%3u.%3u.%3u.%3u%c", &parts[0], &parts[1], &parts[2], &parts[3], &tail) != 4)
        return std::nullopt;
    std::uint32_t address = 0;
    for (unsigned part : parts) {
        if (part > 255)
            return std::nullopt;
        address = address << 8 | part;
    }
    return address;
}

bool NetworkProjection::isSubnetMask(std::uint32_t mask)
{
    const std::uint32_t inverted = ~mask;
    return (inverted & (inverted + 1)) == 0;
}

ProjectedGroup NetworkProjection::port(const std::string& portId) const
{
    ProjectedGroup group;
    const ArrayState& state = m_context.state;
    auto found = state.ports.find(portId);
    if (found == state.ports.end())
        return group;
    const SimPort& port = found->second;
    const std::string controllerName = m_context.names.controllerName(port.controller);
    std::string address;
    for (char c : port.macAddress) {
        if (c != ':')
            address += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    group.objects.push_back(m_context.deviceOf("CIM_EthernetPort", controllerName, port.id)
                                .set("ElementName", "eth" + std::to_string(port.number))
                                .set("Caption", "Controller " + controllerLetter(port.controller) + " port " +
                                                    std::to_string(port.number))
                                .set("PortNumber", cim::CIMValue(port.number))
                                .set("PermanentAddress", address)
                                .set("NetworkAddresses", cim::CIMValue(std::vector<std::string>{address}))
                                .set("Speed", cim::CIMValue(std::uint64_t{1000000000}))
                                .set("MaxSpeed", cim::CIMValue(std::uint64_t{1000000000}))
                                .set("LinkTechnology", cim::CIMValue(std::uint16_t{2}))
                                .set("PortType", cim::CIMValue(std::uint16_t{55}))
                                .set("EnabledState", cim::CIMValue(static_cast<std::uint16_t>(port.enabled ? 2 : 3)))
                                .set("RequestedState", cim::CIMValue(static_cast<std::uint16_t>(port.enabled ? 2 : 3)))
                                .set("OperationalStatus", status(port.enabled ? 2 : 10))
                                .build());
    const std::string portKey = ModelNames::portKey(port.id);
    group.links.push_back(ProjectionContext::link("CIM_SystemDevice", m_context.names.controllerKey(port.controller), portKey));
    group.links.push_back(ProjectionContext::link("CIM_SystemDevice", m_context.names.systemKey(), portKey));
    for (const auto& [lagId, lag] : state.lags) {
        for (const std::string& member : lag.portIds) {
            if (member == port.id)
                group.links.push_back(ProjectionContext::link("CIM_DeviceSAPImplementation", portKey, ModelNames::lagKey(lagId)));
        }
    }
    return group;
}

ProjectedGroup NetworkProjection::lag(const std::string& lagId) const
{
    ProjectedGroup group;
    auto found = m_context.state.lags.find(lagId);
    if (found == m_context.state.lags.end())
        return group;
    const SimLag& lag = found->second;
    group.objects.push_back(m_context.accessPoint("Merrow_DataLinkEndpoint",
                                                  m_context.names.controllerName(lag.controller), lag.id)
                                .set("ElementName", lag.name)
                                .set("MACAddress", lag.macAddress)
                                .set("LinkTechnology", cim::CIMValue(std::uint16_t{2}))
                                .set("ProtocolIFType", cim::CIMValue(std::uint16_t{6}))
                                .set("VLANEnabled", cim::CIMValue(lag.vlanEnabled))
                                .set("AutoSense", cim::CIMValue(lag.autoSense))
                                .set("FrameType", cim::CIMValue(lag.frameType))
                                .set("Speed", cim::CIMValue(lag.speed))
                                .set("MTU", cim::CIMValue(lag.mtu))
                                .set("EnabledState", cim::CIMValue(lag.requestedState))
                                .set("RequestedState", cim::CIMValue(lag.requestedState))
                                .set("OperationalStatus", status(2))
                                .build());
    group.links.push_back(ProjectionContext::link("CIM_HostedAccessPoint", m_context.names.controllerKey(lag.controller),
                                                  ModelNames::lagKey(lag.id)));
    return group;
}

ProjectedGroup NetworkProjection::portal(const std::string& portalId) const
{
    ProjectedGroup group;
    const ArrayState& state = m_context.state;
    auto found = state.portals.find(portalId);
    if (found == state.portals.end())
        return group;
    const SimPortal& portal = found->second;
    const std::string& system = m_context.names.systemName();
    group.objects.push_back(m_context.accessPoint("CIM_TCPProtocolEndpoint", system, portal.id)
                                .set("ElementName", "Portal " + portal.ipAddress + ":" + std::to_string(portal.tcpPort))
                                .set("PortNumber", cim::CIMValue(portal.tcpPort))
                                .set("ProtocolIFType", cim::CIMValue(std::uint16_t{4111}))
                                .set("EnabledState", cim::CIMValue(std::uint16_t{2}))
                                .set("OperationalStatus", status(2))
                                .build());
    group.objects.push_back(m_context.accessPoint("CIM_IPProtocolEndpoint", system, ModelNames::ipEndpointName(portal.id))
                                .set("ElementName", "IP " + portal.ipAddress)
                                .set("IPv4Address", portal.ipAddress)
                                .set("SubnetMask", portal.subnetMask)
                                .set("AddressType", cim::CIMValue(std::uint16_t{1}))
                                .set("ProtocolIFType", cim::CIMValue(std::uint16_t{4096}))
                                .set("EnabledState", cim::CIMValue(std::uint16_t{2}))
                                .set("OperationalStatus", status(2))
                                .build());
    group.objects.push_back(m_context.accessPoint("CIM_RemoteServiceAccessPoint", system, ModelNames::gatewayName(portal.id))
                                .set("ElementName", "Default gateway of " + portal.ipAddress)
                                .set("AccessInfo", portal.gateway)
                                .set("InfoFormat", cim::CIMValue(std::uint16_t{3}))
                                .build());
    group.objects.push_back(InstanceBuilder("CIM_NetworkVLAN")
                                .set("InstanceID", ModelNames::vlanId(portal.id))
                                .set("ElementName", "VLAN " + std::to_string(portal.vlanId))
                                .set("VLANNumber", cim::CIMValue(portal.vlanId))
                                .build());

    const std::string tcpKey = ModelNames::portalKey(portal.id);
    const std::string ipKey = InstanceStore::objectKey("CIM_IPProtocolEndpoint", ModelNames::ipEndpointName(portal.id));
    group.links.push_back(ProjectionContext::link("CIM_BindsTo", ipKey, tcpKey));
    if (state.lags.count(portal.lagId) != 0) {
        const std::string lagKey = ModelNames::lagKey(portal.lagId);
        group.links.push_back(ProjectionContext::link("CIM_BindsTo", lagKey, ipKey));
        group.links.push_back(ProjectionContext::link("CIM_BindsTo", lagKey, tcpKey));
    }
    group.links.push_back(ProjectionContext::link("CIM_HostedAccessPoint", m_context.names.systemKey(), tcpKey));
    group.links.push_back(ProjectionContext::link("CIM_HostedAccessPoint", m_context.names.systemKey(), ipKey));
    group.links.push_back(ProjectionContext::link(
        "CIM_RemoteAccessAvailableToElement",
        InstanceStore::objectKey("CIM_RemoteServiceAccessPoint", ModelNames::gatewayName(portal.id)), tcpKey));
    group.links.push_back(ProjectionContext::link(
        "CIM_ConcreteDependency", InstanceStore::objectKey("CIM_NetworkVLAN", ModelNames::vlanId(portal.id)), tcpKey));
    return group;
}

ProjectedGroup NetworkProjection::route(const std::string& routeId) const
{
    ProjectedGroup group;
    const ArrayState& state = m_context.state;
    auto found = state.routes.find(routeId);
    if (found == state.routes.end())
        return group;
    const SimRoute& route = found->second;
    group.objects.push_back(InstanceBuilder("Merrow_NetworkRoute")
                                .set("InstanceID", route.id)
                                .set("ElementName", "Route to " + route.destination)
                                .set("DestinationAddress", route.destination)
                                .set("DestinationMask", route.subnetMask)
                                .set("NextHop", route.gateway)
                                .set("AddressType", cim::CIMValue(std::uint16_t{1}))
                                .set("IsStatic", cim::CIMValue(true))
                                .build());
    const auto gateway = parseIpv4(route.gateway);
    if (!gateway || *gateway == 0)
        return group;
    for (const auto& [otherId, other] : state.routes) {
        const auto destination = parseIpv4(other.destination);
        const auto mask = parseIpv4(other.subnetMask);
        // The default route holds every gateway and would make everything depend on it.
        if (otherId == route.id || !destination || !mask || *mask == 0)
            continue;
        if ((*gateway & *mask) == (*destination & *mask))
            group.links.push_back(ProjectionContext::link("Merrow_NetworkRouteDependency", ModelNames::routeKey(otherId),
                                                          ModelNames::routeKey(route.id)));
    }
    return group;
}

} // namespace Merrow::Sim
