#include "sim/NetworkMethods.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/NetworkProjection.h"

#include <algorithm>

namespace Merrow::Sim {

namespace {

using namespace ArrayFailure;

const SimLag* lagHolding(const ArrayState& state, const std::string& portId)
{
    for (const auto& [id, lag] : state.lags) {
        if (std::find(lag.portIds.begin(), lag.portIds.end(), portId) != lag.portIds.end())
            return &lag;
    }
    return nullptr;
}

// The ports a request names, all of one controller and in no other aggregate than `lag`.
std::uint32_t readPorts(MethodCall& call, const SimLag* lag, std::vector<SimPort*>& ports)
{
    for (const cim::CIMObjectPath& path : call.references("PhysicalPorts")) {
        SimPort* port = call.port(path);
        if (port == nullptr)
            return PhysicalPortNotFound;
        ports.push_back(port);
    }
    if (ports.empty())
        return InvalidParameter;
    const std::uint8_t controller = lag != nullptr ? lag->controller : ports.front()->controller;
    for (const SimPort* port : ports) {
        if (port->controller != controller)
            return IllegalPortLagCombination;
    }
    return Ok;
}

SimLag* lagOf(MethodCall& call)
{
    const auto path = call.in<cim::CIMObjectPath>("LinkAggregator");
    return path ? call.lag(*path) : nullptr;
}

std::uint32_t checkLagParameters(MethodCall& call)
{
    const std::uint64_t speed = call.in<std::uint64_t>("RequestedSpeed", 0);
    const std::uint64_t speeds[] = {0, 10000000, 100000000, 1000000000, 10000000000};
    if (std::find(std::begin(speeds), std::end(speeds), speed) == std::end(speeds))
        return InvalidLagSpeed;
    if (call.in<std::uint16_t>("FrameType", 1) > 2)
        return InvalidLagEncapsulation;
    const std::uint16_t state = call.in<std::uint16_t>("RequestedState", 2);
    if (state != 0 && state != 2 && state != 3)
        return InvalidLagAdminState;
    const std::uint64_t mtu = call.in<std::uint64_t>("ActiveMaximumTransmissionUnit", 0);
    if (mtu != 0 && (mtu < 1280 || mtu > 9000))
        return InvalidLagMtu;
    return Ok;
}

std::optional<std::uint32_t> address(MethodCall& call, const char* name)
{
    return NetworkProjection::parseIpv4(call.in<std::string>(name, ""));
}

// The address and mask a ping goes out from.
struct Interface {
    std::string address;
    std::string subnetMask;
};

// The management port as clients see and set it.
Interface managementInterface(const MethodCall& call)
{
    const StoredObject* port = call.view().storage.find(
        MethodCall::instancePath("Merrow_SystemSettingsNetworkOutbandPort", SettingId::OutbandPort));
    if (port == nullptr)
        return {};
    auto text = [&](const char* name) {
        const cim::CIMValue value = port->instance->getPropertyValue(name);
        return value.isNull() ? std::string() : value.get<std::string>();
    };
    return {text("IPAddress"), text("SubnetMask")};
}

} // namespace

std::uint32_t NetworkMethods::createLinkAggregator(MethodCall& call)
{
    std::vector<SimPort*> ports;
    if (std::uint32_t failure = readPorts(call, nullptr, ports))
        return failure;
    for (const SimPort* port : ports) {
        if (lagHolding(call.state(), port->id) != nullptr)
            return PortAlreadyInLag;
    }
    if (std::uint32_t failure = checkLagParameters(call))
        return failure;

    SimLag lag;
    lag.id = call.state().allocateId(IdPrefix::Lag);
    lag.controller = ports.front()->controller;
    lag.name = "lag-" + lag.id;
    lag.macAddress = ports.front()->macAddress;
    for (const SimPort* port : ports)
        lag.portIds.push_back(port->id);
    lag.speed = call.in<std::uint64_t>("RequestedSpeed", 0);
    lag.speed = lag.speed == 0 ? 1000000000 : lag.speed;
    lag.autoSense = call.in<bool>("AutoSense", true);
    const std::uint16_t requested = call.in<std::uint16_t>("RequestedState", 2);
    lag.requestedState = requested == 0 ? 2 : requested;
    lag.vlanEnabled = call.in<bool>("VLANState", false);
    lag.frameType = call.in<std::uint16_t>("FrameType", 1);
    const std::uint64_t mtu = call.in<std::uint64_t>("ActiveMaximumTransmissionUnit", 0);
    lag.mtu = mtu == 0 ? 1500 : mtu;
    const std::string controllerName = call.view().names.controllerName(lag.controller);
    const std::string id = lag.id;
    call.state().lags.emplace(id, std::move(lag));
    call.transaction().touchLag(id);
    call.out("LinkAggregator", cim::CIMValue(call.accessPointPath("Merrow_DataLinkEndpoint", controllerName, id)));
    return Ok;
}

std::uint32_t NetworkMethods::addPortsToAggregator(MethodCall& call)
{
    SimLag* lag = lagOf(call);
    if (lag == nullptr)
        return LagNotFound;
    std::vector<SimPort*> ports;
    if (std::uint32_t failure = readPorts(call, lag, ports))
        return failure;
    for (const SimPort* port : ports) {
        const SimLag* holder = lagHolding(call.state(), port->id);
        if (holder != nullptr)
            return PortAlreadyInLag;
    }
    for (const SimPort* port : ports)
        lag->portIds.push_back(port->id);
    call.transaction().touchLag(lag->id);
    return Ok;
}

std::uint32_t NetworkMethods::removePortsFromAggregator(MethodCall& call)
{
    SimLag* lag = lagOf(call);
    if (lag == nullptr)
        return LagNotFound;
    std::vector<SimPort*> ports;
    if (std::uint32_t failure = readPorts(call, lag, ports))
        return failure;
    for (const SimPort* port : ports) {
        if (std::find(lag->portIds.begin(), lag->portIds.end(), port->id) == lag->portIds.end())
            return PortNotInLag;
    }
    for (const SimPort* port : ports)
        std::erase(lag->portIds, port->id);
    call.transaction().touchLag(lag->id);
    return Ok;
}

std::uint32_t NetworkMethods::deleteLinkAggregator(MethodCall& call)
{
    SimLag* lag = lagOf(call);
    if (lag == nullptr)
        return LagNotFound;
    for (const auto& [id, portal] : call.state().portals) {
        if (portal.lagId == lag->id)
            return IpEntityOnLag;
    }
    const std::string id = lag->id;
    call.transaction().touchLag(id);
    call.state().lags.erase(id);
    return Ok;
}

std::uint32_t NetworkMethods::replaceLagAndChangeVlan(MethodCall& call)
{
    SimLag* lag = lagOf(call);
    if (lag == nullptr)
        return LagNotFound;
    lag->vlanEnabled = call.in<bool>("VLANEnabled", lag->vlanEnabled);
    call.transaction().touchLag(lag->id);
    return Ok;
}

std::uint32_t NetworkMethods::createPortal(MethodCall& call)
{
    SimLag* lag = lagOf(call);
    if (lag == nullptr)
        return LagNotFound;
    const auto ip = address(call, "IPv4Address");
    if (!ip || *ip == 0)
        return InvalidIpAddress;
    const auto mask = address(call, "SubnetMask");
    if (!mask || *mask == 0 || !NetworkProjection::isSubnetMask(*mask))
        return InvalidSubnetMask;
    const std::string gatewayText = call.in<std::string>("DefaultGateway", "");
    if (!gatewayText.empty()) {
        const auto gateway = NetworkProjection::parseIpv4(gatewayText);
        if (!gateway || (*gateway & *mask) != (*ip & *mask) || *gateway == *ip)
            return InvalidGateway;
    }
    const std::uint16_t vlan = call.in<std::uint16_t>("VLANId", 0);
    if (vlan > 4094)
        return InvalidVlanId;
    const std::string ipText = call.in<std::string>("IPv4Address", "");
    for (const auto& [id, portal] : call.state().portals) {
        if (NetworkProjection::parseIpv4(portal.ipAddress) == ip)
            return IpEntityExists;
    }
    SimPortal portal;
    portal.id = call.state().allocateId(IdPrefix::Portal);
    portal.lagId = lag->id;
    portal.ipAddress = ipText;
    portal.subnetMask = call.in<std::string>("SubnetMask", "");
    portal.gateway = gatewayText;
    portal.vlanId = vlan;
    const std::string id = portal.id;
    call.state().portals.emplace(id, std::move(portal));
    call.transaction().touch(ModelProjection::group(GroupKind::Portal, id));
    call.out("NetworkPortal",
             cim::CIMValue(call.accessPointPath("CIM_TCPProtocolEndpoint", call.view().names.systemName(), id)));
    return Ok;
}

std::uint32_t NetworkMethods::deletePortal(MethodCall& call)
{
    const auto path = call.in<cim::CIMObjectPath>("NetworkPortal");
    const SimPortal* portal = path ? call.portal(*path) : nullptr;
    if (portal == nullptr)
        return IpEntityNotFound;
    const std::string id = portal->id;
    // Sessions that came in through the portal end with it.
    for (auto it = call.state().sessions.begin(); it != call.state().sessions.end();) {
        if (it->second.portalId == id) {
            call.transaction().touch(ModelProjection::group(GroupKind::Session, it->first));
            it = call.state().sessions.erase(it);
        } else {
            ++it;
        }
    }
    call.transaction().touch(ModelProjection::group(GroupKind::Portal, id));
    call.state().portals.erase(id);
    return Ok;
}

std::uint32_t NetworkMethods::pingRemote(MethodCall& call)
{
    const auto path = call.in<cim::CIMObjectPath>("NetworkPortal");
    Interface from;
    if (path && path->hasKeys()) {
        const SimPortal* portal = call.portal(*path);
        if (portal == nullptr)
            return IpEntityNotFound;
        from = {portal->ipAddress, portal->subnetMask};
    } else {
        from = managementInterface(call);
    }
    const auto remote = address(call, "IPv4Address");
    if (!remote || *remote == 0)
        return InvalidIpAddress;
    // Hosts on the interface's own subnet answer; anything else would need a router the
    // simulated network does not have.
    const auto own = NetworkProjection::parseIpv4(from.address);
    const auto mask = NetworkProjection::parseIpv4(from.subnetMask);
    if (!own || !mask || (*own & *mask) != (*remote & *mask))
        return RequestTimedOut;
    call.out("Delay", cim::CIMValue(kPingDelay));
    return Ok;
}

std::uint32_t NetworkMethods::requestStateChange(MethodCall& call)
{
    SimPort* port = call.port(call.target());
    if (port == nullptr)
        return InvalidRequest;
    const std::uint16_t requested = call.in<std::uint16_t>("RequestedState", 0);
    if (requested != 2 && requested != 3)
        return InvalidPhysicalAdminState;
    port->enabled = requested == 2;
    call.transaction().touch(ModelProjection::group(GroupKind::Port, port->id));
    return Ok;
}

} // namespace Merrow::Sim
