#include "SimTestSupport.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/NetworkMethods.h"

namespace Merrow::Sim {
namespace {

using namespace Testing;
using cim::CIMValue;

const cim::CIMObjectPath kMasking = servicePath("CIM_ControllerConfigurationService");
const cim::CIMObjectPath kHardwareIds = servicePath("CIM_StorageHardwareIDManagementService");
const cim::CIMObjectPath kNetwork = servicePath("Merrow_NetworkConfigurationService");
const char* const kHost1 = "iqn.2024-01.org.example:host1";

cim::CIMObjectPath targetOf(const char* targetId) { return deviceIdPath("CIM_SCSIProtocolController", targetId); }

std::uint32_t paths(SimulatedArray& array, const char* method, std::vector<std::string> initiators,
                    std::vector<cim::CIMObjectPath> targets, std::vector<std::string> luNames = {})
{
    return returnValue(array.send(invoke(kMasking, method,
                                         {param("LUNames", CIMValue(luNames)), param("InitiatorPortIDs", CIMValue(initiators)),
                                          param("TargetPortIDs", CIMValue(std::vector<std::string>{})),
                                          param("ProtocolControllers", CIMValue(targets))})));
}

std::size_t initiatorsWithAccess(SimulatedArray& array, const char* targetId)
{
    return walk(array, targetOf(targetId),
                {{"CIM_AuthorizedTarget", "CIM_AuthorizedPrivilege"}, {"CIM_AuthorizedSubject", "CIM_StorageHardwareID"}})
        .size();
}

TEST(Masking, GrantAndRevokeOneInitiatorOnOneTarget)
{
    SimulatedArray array;
    const auto exposed = array.send(invoke(kMasking, "ExposePaths",
                                           {param("InitiatorPortIDs", CIMValue(std::vector<std::string>{kHost1})),
                                            param("ProtocolControllers", CIMValue(std::vector{targetOf("3b000001")}))}));
    ASSERT_EQ(returnValue(exposed), ArrayFailure::Ok);
    EXPECT_EQ(outParam(exposed, "ProtocolControllers")->getArraySize(), 1u);
    EXPECT_EQ(initiatorsWithAccess(array, "3b000001"), 1u);
    EXPECT_EQ(initiatorsWithAccess(array, "3b000002"), 0u);
    EXPECT_EQ(paths(array, "ExposePaths", {kHost1}, {targetOf("3b000001")}), ArrayFailure::InitiatorAlreadyOnTarget);
    EXPECT_EQ(paths(array, "HidePaths", {kHost1}, {targetOf("3b000001")}), ArrayFailure::Ok);
    EXPECT_EQ(initiatorsWithAccess(array, "3b000001"), 0u);
    EXPECT_EQ(paths(array, "HidePaths", {kHost1}, {targetOf("3b000001")}), ArrayFailure::InitiatorNotOnTarget);
}

TEST(Masking, VolumesMayBeNamedInsteadOfTargets)
{
    SimulatedArray array;
    EXPECT_EQ(paths(array, "ExposePaths", {kHost1}, {}, {"3a000002"}), ArrayFailure::Ok);
    EXPECT_EQ(initiatorsWithAccess(array, "3b000002"), 1u);
    EXPECT_EQ(paths(array, "ExposePaths", {kHost1}, {}, {"3a0000ff"}), ArrayFailure::VolumeDoesNotExist);
}

TEST(Masking, RefusalsLeaveAccessAsItWas)
{
    SimulatedArray array;
    EXPECT_EQ(paths(array, "ExposePaths", {"iqn.unknown"}, {targetOf("3b000001")}), ArrayFailure::InitiatorNotFound);
    EXPECT_EQ(paths(array, "ExposePaths", {kHost1}, {targetOf("3b0000ff")}), ArrayFailure::TargetNotFound);
    EXPECT_EQ(paths(array, "ExposePaths", {}, {targetOf("3b000001")}), ArrayFailure::InvalidParameter);
    EXPECT_EQ(paths(array, "ExposePaths", {kHost1}, {}), ArrayFailure::InvalidParameter);
    EXPECT_EQ(initiatorsWithAccess(array, "3b000001"), 0u);
}

std::uint32_t createId(SimulatedArray& array, const std::string& name, std::uint16_t type = 5)
{
    return returnValue(array.send(invoke(kHardwareIds, "CreateStorageHardwareID",
                                         {param("ElementName", CIMValue(name)), param("StorageID", CIMValue(name)),
                                          param("IDType", CIMValue(type)), param("OtherIDType", CIMValue(""))})));
}

TEST(HardwareIds, CreateRefusesWhatIsNoNewIscsiName)
{
    SimulatedArray array;
    EXPECT_EQ(createId(array, ""), ArrayFailure::NoInitiatorName);
    EXPECT_EQ(createId(array, kHost1), ArrayFailure::InitiatorExists);
    EXPECT_EQ(createId(array, "iqn.with space"), ArrayFailure::IllegalInitiatorName);
    EXPECT_EQ(createId(array, std::string(224, 'a')), ArrayFailure::IllegalInitiatorName);
    EXPECT_EQ(createId(array, "iqn.2001-04.com.corvane:cvn-" + std::string("x"), 2), ArrayFailure::InvalidParameter);
    const std::string targetName = enumerate(array, "CIM_SCSIProtocolController").at(0).getPropertyValue("Name").get<std::string>();
    EXPECT_EQ(createId(array, targetName), ArrayFailure::IllegalInitiatorName);
    EXPECT_EQ(createId(array, "iqn.2024-01.org.example:host3"), ArrayFailure::Ok);
    EXPECT_EQ(enumerate(array, "CIM_StorageHardwareID").size(), 3u);
}

TEST(HardwareIds, DeleteTakesTheGrantsAlongButNotALoggedInInitiator)
{
    SimulatedArray array;
    ASSERT_EQ(paths(array, "ExposePaths", {kHost1}, {targetOf("3b000001"), targetOf("3b000002")}), ArrayFailure::Ok);
    const auto host1 = instancePath("CIM_StorageHardwareID", "3c000001");
    auto remove = [&](const cim::CIMObjectPath& path) {
        return returnValue(array.send(invoke(kHardwareIds, "DeleteStorageHardwareID", {param("HardwareID", CIMValue(path))})));
    };
    std::string session;
    ASSERT_EQ(array.control.addSession(kHost1, "vol002", session), ControlResult::Ok);
    EXPECT_EQ(remove(host1), ArrayFailure::InitiatorLoggedIn);
    array.control.removeSession(kHost1);
    EXPECT_EQ(remove(host1), ArrayFailure::Ok);
    EXPECT_EQ(remove(host1), ArrayFailure::InitiatorNotFound);
    EXPECT_TRUE(enumerate(array, "CIM_AuthorizedPrivilege").empty());
}

cim::CIMObjectPath portPath(const char* id) { return deviceIdPath("CIM_EthernetPort", id); }

cim::CIMObjectPath lagPath(const char* id)
{
    return cim::CIMObjectPath("", Namespaces::Storage, "Merrow_DataLinkEndpoint", {cim::CIMKeyBinding("Name", CIMValue(id))});
}

cim::CIMObjectPath portalPath(const char* id)
{
    return cim::CIMObjectPath("", Namespaces::Storage, "CIM_TCPProtocolEndpoint", {cim::CIMKeyBinding("Name", CIMValue(id))});
}

std::uint32_t createLag(SimulatedArray& array, std::vector<cim::CIMObjectPath> ports, std::uint64_t mtu = 0)
{
    return returnValue(array.send(invoke(kNetwork, "CreateLinkAggregator",
                                         {param("PhysicalPorts", CIMValue(ports)), param("RequestedSpeed", CIMValue(std::uint64_t{0})),
                                          param("AutoSense", CIMValue(true)), param("RequestedState", CIMValue(std::uint16_t{2})),
                                          param("VLANState", CIMValue(false)), param("FrameType", CIMValue(std::uint16_t{1})),
                                          param("ActiveMaximumTransmissionUnit", CIMValue(mtu))})));
}

TEST(LinkAggregates, JoinFreePortsOfOneController)
{
    SimulatedArray array;
    // Ports 34000001-4 belong to controller A (1 and 2 aggregated), 34000005-8 to B.
    EXPECT_EQ(createLag(array, {portPath("34000003"), portPath("34000005")}), ArrayFailure::IllegalPortLagCombination);
    EXPECT_EQ(createLag(array, {portPath("34000001"), portPath("34000003")}), ArrayFailure::PortAlreadyInLag);
    EXPECT_EQ(createLag(array, {portPath("340000ff")}), ArrayFailure::PhysicalPortNotFound);
    EXPECT_EQ(createLag(array, {portPath("34000003")}, 100), ArrayFailure::InvalidLagMtu);
    EXPECT_EQ(createLag(array, {portPath("34000003"), portPath("34000004")}, 9000), ArrayFailure::Ok);
    EXPECT_EQ(enumerate(array, "Merrow_DataLinkEndpoint").size(), 3u);
    EXPECT_EQ(walk(array, portPath("34000004"), {{"CIM_DeviceSAPImplementation", "Merrow_DataLinkEndpoint"}}).size(), 1u);
}

TEST(LinkAggregates, PortsMoveInAndOutAndAnAggregateWithAPortalStays)
{
    SimulatedArray array;
    auto ports = [&](const char* method, const char* lag, std::vector<cim::CIMObjectPath> which) {
        return returnValue(array.send(invoke(kNetwork, method, {param("PhysicalPorts", CIMValue(which)),
                                                                param("LinkAggregator", CIMValue(lagPath(lag)))})));
    };
    EXPECT_EQ(ports("AddPortsToAggregator", "42000001", {portPath("34000003")}), ArrayFailure::Ok);
    EXPECT_EQ(ports("AddPortsToAggregator", "42000001", {portPath("34000003")}), ArrayFailure::PortAlreadyInLag);
    EXPECT_EQ(ports("AddPortsToAggregator", "42000001", {portPath("34000006")}), ArrayFailure::IllegalPortLagCombination);
    EXPECT_EQ(ports("RemovePortsFromAggregator", "42000001", {portPath("34000004")}), ArrayFailure::PortNotInLag);
    EXPECT_EQ(ports("RemovePortsFromAggregator", "42000001", {portPath("34000003")}), ArrayFailure::Ok);
    EXPECT_EQ(ports("AddPortsToAggregator", "420000ff", {portPath("34000003")}), ArrayFailure::LagNotFound);
    EXPECT_EQ(returnValue(array.send(invoke(kNetwork, "DeleteLinkAggregator", {param("LinkAggregator", CIMValue(lagPath("42000001")))}))),
              ArrayFailure::IpEntityOnLag);
}

struct PortalCase {
    const char* description;
    const char* ip;
    const char* mask;
    const char* gateway;
    std::uint16_t vlan;
    std::uint32_t result;
};

void PrintTo(const PortalCase& c, std::ostream* os) { *os << c.description; }

class Portals : public testing::TestWithParam<PortalCase> {};

TEST_P(Portals, CheckAddressesBeforeCreating)
{
    SimulatedArray array;
    const PortalCase& c = GetParam();
    const auto response = array.send(invoke(kNetwork, "CreateTCPIPProtocolEndpoint",
                                            {param("LinkAggregator", CIMValue(lagPath("42000001"))), param("IPv4Address", CIMValue(c.ip)),
                                             param("SubnetMask", CIMValue(c.mask)), param("DefaultGateway", CIMValue(c.gateway)),
                                             param("VLANId", CIMValue(c.vlan))}));
    EXPECT_EQ(returnValue(response), c.result) << c.description;
    EXPECT_EQ(enumerate(array, "CIM_TCPProtocolEndpoint").size(), c.result == ArrayFailure::Ok ? 3u : 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, Portals,
    testing::Values(PortalCase{"a new portal", "10.10.1.20", "255.255.255.0", "10.10.1.1", 10, ArrayFailure::Ok},
                    PortalCase{"no gateway", "10.10.1.21", "255.255.255.0", "", 0, ArrayFailure::Ok},
                    PortalCase{"not an address", "10.10.1", "255.255.255.0", "", 0, ArrayFailure::InvalidIpAddress},
                    PortalCase{"octet out of range", "10.10.1.256", "255.255.255.0", "", 0, ArrayFailure::InvalidIpAddress},
                    PortalCase{"holes in the mask", "10.10.1.20", "255.0.255.0", "", 0, ArrayFailure::InvalidSubnetMask},
                    PortalCase{"gateway elsewhere", "10.10.1.20", "255.255.255.0", "10.10.2.1", 0, ArrayFailure::InvalidGateway},
                    PortalCase{"VLAN out of range", "10.10.1.20", "255.255.255.0", "", 4095, ArrayFailure::InvalidVlanId},
                    PortalCase{"address in use", "10.10.1.10", "255.255.255.0", "", 0, ArrayFailure::IpEntityExists}));

TEST(Portals, PingAnswersOnlyOnThePortalsSubnet)
{
    SimulatedArray array;
    auto ping = [&](const char* address) {
        return array.send(invoke(kNetwork, "PingRemoteIPProtocolEndpoint",
                                 {param("NetworkPortal", CIMValue(portalPath("41000001"))), param("IPv4Address", CIMValue(address)),
                                  param("Delay", CIMValue(std::uint64_t{1000}))}));
    };
    const auto answered = ping("10.10.1.77");
    EXPECT_EQ(returnValue(answered), ArrayFailure::Ok);
    EXPECT_EQ(outParam(answered, "Delay")->get<std::uint64_t>(), NetworkMethods::kPingDelay);
    EXPECT_EQ(returnValue(ping("192.168.0.1")), ArrayFailure::RequestTimedOut);
    EXPECT_EQ(returnValue(ping("nonsense")), ArrayFailure::InvalidIpAddress);
}

TEST(Portals, PingWithoutAPortalGoesOutOfTheManagementPort)
{
    SimulatedArray array;
    auto ping = [&](std::vector<cim::CIMParamValue> portal, const char* address) {
        portal.push_back(param("IPv4Address", CIMValue(address)));
        return returnValue(array.send(invoke(kNetwork, "PingRemoteIPProtocolEndpoint", std::move(portal))));
    };
    const cim::CIMObjectPath empty("", Namespaces::Storage, "CIM_TCPProtocolEndpoint");
    for (auto portal : {std::vector<cim::CIMParamValue>{}, std::vector{param("NetworkPortal", CIMValue(empty))}}) {
        EXPECT_EQ(ping(portal, "127.0.0.1"), ArrayFailure::Ok);
        // The data network is not on the management port's subnet.
        EXPECT_EQ(ping(portal, "10.10.1.77"), ArrayFailure::RequestTimedOut);
        EXPECT_EQ(ping(portal, ""), ArrayFailure::InvalidIpAddress);
    }
    EXPECT_EQ(ping({param("NetworkPortal", CIMValue(portalPath("410000ff")))}, "127.0.0.1"), ArrayFailure::IpEntityNotFound);

    auto port = enumerate(array, "Merrow_SystemSettingsNetworkOutbandPort").at(0);
    port.setPropertyValue("IPAddress", CIMValue("192.168.7.5"));
    port.setPropertyValue("SubnetMask", CIMValue("255.255.255.0"));
    ASSERT_EQ(statusOf(array.send(intrinsic("ModifyInstance", {param("ModifiedInstance", CIMValue(port))}))), 0);
    EXPECT_EQ(ping({}, "192.168.7.1"), ArrayFailure::Ok);
    EXPECT_EQ(ping({}, "127.0.0.1"), ArrayFailure::RequestTimedOut);
}

TEST(Portals, DeletingAPortalEndsItsSessions)
{
    SimulatedArray array;
    std::string session;
    ASSERT_EQ(array.control.addSession(kHost1, "vol001", session), ControlResult::Ok);
    auto remove = [&] {
        return returnValue(array.send(invoke(kNetwork, "DeleteTCPIPProtocolEndpoint",
                                             {param("NetworkPortal", CIMValue(portalPath("41000001")))})));
    };
    EXPECT_EQ(remove(), ArrayFailure::Ok);
    EXPECT_EQ(remove(), ArrayFailure::IpEntityNotFound);
    EXPECT_TRUE(enumerate(array, "CIM_iSCSISession").empty());
}

TEST(Ports, RequestStateChangeEnablesAndDisables)
{
    SimulatedArray array;
    auto change = [&](std::uint16_t state) {
        return returnValue(array.send(invoke(portPath("34000003"), "RequestStateChange",
                                             {param("RequestedState", CIMValue(state))})));
    };
    EXPECT_EQ(change(3), ArrayFailure::Ok);
    const auto port = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(portPath("34000003")))})).instances.at(0);
    EXPECT_EQ(port.getPropertyValue("EnabledState"), CIMValue(std::uint16_t{3}));
    EXPECT_EQ(change(7), ArrayFailure::InvalidPhysicalAdminState);
    EXPECT_EQ(returnValue(array.send(invoke(deviceIdPath("CIM_StorageVolume", "3a000001"), "RequestStateChange",
                                            {param("RequestedState", CIMValue(std::uint16_t{3}))}))),
              ArrayFailure::InvalidRequest);
}

} // namespace
} // namespace Merrow::Sim
