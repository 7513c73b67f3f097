// The extrinsic methods the client library calls, on the class it calls them on, with every
// in-parameter under its name and type as the client sends it: the array must find the
// method and accept every parameter (what the method then answers is not the point here).

#include "SimTestSupport.h"

#include <sstream>

namespace Merrow::Sim {
namespace {

using namespace Testing;
using cim::CIMType;
using cim::CIMValue;

struct Contract {
    const char* className;
    const char* method;
    // "Name:type" separated by spaces; types s, b, u8, u16, u32, u64, dt, ref, s[], u16[], ref[].
    const char* parameters;
};

void PrintTo(const Contract& c, std::ostream* os) { *os << c.method; }

CIMValue sample(const std::string& type, const cim::CIMObjectPath& reference)
{
    if (type == "ref")
        return CIMValue(reference);
    if (type == "ref[]")
        return CIMValue(std::vector<cim::CIMObjectPath>{});
    if (type == "s[]")
        return CIMValue(std::vector<std::string>{});
    if (type == "u16[]")
        return CIMValue(std::vector<std::uint16_t>{});
    if (type == "s")
        return CIMValue("");
    if (type == "b")
        return CIMValue(false);
    if (type == "dt")
        return CIMValue::fromText(CIMType::DateTime, "00000000000000.000000:000");
    const std::pair<const char*, CIMType> widths[] = {
        {"u8", CIMType::Uint8}, {"u16", CIMType::Uint16}, {"u32", CIMType::Uint32}, {"u64", CIMType::Uint64}};
    for (const auto& [name, cimType] : widths) {
        if (type == name)
            return CIMValue::fromText(cimType, "0");
    }
    ADD_FAILURE() << "no sample for type " << type;
    return {};
}

class MethodContract : public testing::TestWithParam<Contract> {};

TEST_P(MethodContract, TheArrayAcceptsTheClientsParameters)
{
    SimulatedArray array;
    const auto volume = array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", CIMValue("CIM_StorageVolume"))}));
    const auto port = array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", CIMValue("CIM_EthernetPort"))}));
    ASSERT_FALSE(volume.paths.empty());
    ASSERT_FALSE(port.paths.empty());

    std::vector<cim::CIMParamValue> in;
    std::istringstream tokens(GetParam().parameters);
    for (std::string token; tokens >> token;) {
        const std::size_t colon = token.find(':');
        in.emplace_back(token.substr(0, colon), sample(token.substr(colon + 1), volume.paths[0]));
    }
    // Methods of the enabled-element class run on an element; the services are singletons.
    const bool onElement = std::string(GetParam().className) == "CIM_EnabledLogicalElement";
    const auto response = array.send(invoke(onElement ? port.paths[0] : servicePath(GetParam().className),
                                            GetParam().method, std::move(in)));
    EXPECT_EQ(statusOf(response), 0) << (response.error ? response.error->description : "");
    EXPECT_FALSE(response.returnValue.isNull());
}

constexpr const char* kStorage = "Merrow_StorageConfigurationService";
constexpr const char* kNetwork = "Merrow_NetworkConfigurationService";
constexpr const char* kLayout =
    "ChunkSize:u32 StripeWidth:u8 MirrorCount:u8 VolumeOrganization:u16 Pool:ref StorageDevice:ref[]";

INSTANTIATE_TEST_SUITE_P(
    ClientMethods, MethodContract,
    testing::Values(
        Contract{"CIM_EnabledLogicalElement", "RequestStateChange", "RequestedState:u16 TimeoutPeriod:dt"},
        Contract{"CIM_ControllerConfigurationService", "ExposePaths",
                 "LUNames:s[] InitiatorPortIDs:s[] TargetPortIDs:s[] DeviceNumbers:s[] DeviceAccesses:u16[] ProtocolControllers:ref[]"},
        Contract{"CIM_ControllerConfigurationService", "HidePaths",
                 "LUNames:s[] InitiatorPortIDs:s[] TargetPortIDs:s[] ProtocolControllers:ref[]"},
        Contract{"CIM_StorageHardwareIDManagementService", "CreateStorageHardwareID",
                 "ElementName:s StorageID:s IDType:u16 OtherIDType:s Setting:ref"},
        Contract{"CIM_StorageHardwareIDManagementService", "DeleteStorageHardwareID", "HardwareID:ref"},
        Contract{"CIM_StorageConfigurationService", "CreateOrModifyElementFromStoragePool",
                 "ElementName:s ElementType:u16 Goal:ref Size:u64 InPool:ref TheElement:ref"},
        Contract{"CIM_StorageConfigurationService", "ReturnToStoragePool", "TheElement:ref"},
        Contract{kStorage, "CreateVolume", "ElementName:s Size:u64 ChunkSize:u32 StripeWidth:u8 MirrorCount:u8 Pool:ref VolumeOrganization:u16 StorageDevice:ref[]"},
        Contract{kStorage, "ReconfigureVolume", "Volume:ref Size:u64 ChunkSize:u32 StripeWidth:u8 MirrorCount:u8 Pool:ref VolumeOrganization:u16 StorageDevice:ref[]"},
        Contract{kStorage, "GetMaxiumumVolumeSize", kLayout},
        Contract{kStorage, "GetBasePool", "Controller:ref"},
        Contract{kStorage, "GetAvailablePool", ""},
        Contract{kStorage, "GetSparePool", ""},
        Contract{kStorage, "GetUnavailablePool", ""},
        Contract{kStorage, "TransferDriveByRef", "Pool:ref Drive:ref"},
        Contract{kStorage, "InitializeStorageDevice", "ElementType:u16 StorageDevice:ref"},
        Contract{kStorage, "RemoveStorageDevice", "StorageDevice:ref"},
        Contract{kStorage, "ScanStorageElement",
                 "ScanType:u16 ScheduledTaskPriority:u32 ScheduledTaskStartTime:dt PeriodicityType:u16 Periodicity:u16 StorageElement:ref"},
        Contract{kStorage, "RescheduleTask",
                 "ScheduledTaskPriority:u32 ScheduledTaskStartTime:dt PeriodicityType:u16 Periodicity:u16 Job:ref"},
        Contract{kStorage, "AbortTask", "Job:ref"},
        Contract{kStorage, "DeleteTask", "Job:ref"},
        Contract{kStorage, "SuspendTask", "Job:ref"},
        Contract{kStorage, "ResumeTask", "Job:ref"},
        Contract{kStorage, "InitiateShutdown", "Restart:b"},
        Contract{kStorage, "ForceControllerFailover", ""},
        Contract{kStorage, "TestEmailSnmpNotifications", ""},
        Contract{kStorage, "ReadPersistenceData", ""},
        Contract{kStorage, "WritePersistenceData", "Data:s PersistenceSetting:u16"},
        Contract{kNetwork, "CreateLinkAggregator",
                 "PhysicalPorts:ref[] RequestedSpeed:u64 AutoSense:b RequestedState:u16 VLANState:b FrameType:u16 ActiveMaximumTransmissionUnit:u64"},
        Contract{kNetwork, "AddPortsToAggregator", "PhysicalPorts:ref[] LinkAggregator:ref"},
        Contract{kNetwork, "RemovePortsFromAggregator", "PhysicalPorts:ref[] LinkAggregator:ref"},
        Contract{kNetwork, "DeleteLinkAggregator", "LinkAggregator:ref"},
        Contract{kNetwork, "ReplaceLAGandChangeVLAN", "LinkAggregator:ref VLANEnabled:b"},
        Contract{kNetwork, "CreateTCPIPProtocolEndpoint", "LinkAggregator:ref IPv4Address:s SubnetMask:s DefaultGateway:s VLANId:u16"},
        Contract{kNetwork, "DeleteTCPIPProtocolEndpoint", "NetworkPortal:ref"},
        Contract{kNetwork, "PingRemoteIPProtocolEndpoint", "NetworkPortal:ref IPv4Address:s Delay:u64"},
        Contract{"Merrow_AccountManagementService", "CreateAccount", "UserID:s Password:s Role:s"},
        Contract{"Merrow_AccountManagementService", "DeleteAccount", "Account:ref"},
        Contract{"Merrow_AccountManagementService", "SetAccountPassword", "Account:ref Password:s"},
        Contract{"CIM_RecordLog", "ClearLog", ""}));

} // namespace
} // namespace Merrow::Sim
