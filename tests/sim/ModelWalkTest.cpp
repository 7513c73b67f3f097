// Every association chain and enumerated singleton the client library's profiles and
// groupings walk, against the default array, with the counts their callers rely on: a
// container of one object finds exactly one (two make the client fail with "too many
// objects"), a list finds the whole set. One row per chain.

#include "SimTestSupport.h"

#include "sim/ArrayFailureCodes.h"

namespace Merrow::Sim {
namespace {

using namespace Testing;

enum class Root {
    None, // the class is enumerated
    Top,
    Controller,
    Volume,
    JobVolume,
    Disk,
    Leaf,
    Pool,
    Job,
    Target,
    Initiator,
    Port,
    Lag,
    Portal,
    Session,
    Connection,
    Route,
};

struct Chain {
    const char* container;
    Root root;
    std::vector<Step> steps;
    std::size_t count;
    const char* resultClass;
};

void PrintTo(const Chain& chain, std::ostream* os) { *os << chain.container; }

class ModelWalk : public testing::TestWithParam<Chain> {
protected:
    // The default array, with one initiator granted access to the first volume and logged
    // in, and a volume whose creation still runs as a job.
    ModelWalk() : array(ArrayOptions{}, true)
    {
        const auto target = firstPath("CIM_SCSIProtocolController", 0);
        const auto exposed = array.send(invoke(servicePath("CIM_ControllerConfigurationService"), "ExposePaths",
                                               {param("InitiatorPortIDs", cim::CIMValue(std::vector<std::string>{kHost})),
                                                param("ProtocolControllers", cim::CIMValue(std::vector{target}))}));
        EXPECT_EQ(returnValue(exposed), ArrayFailure::Ok);
        std::string sessionId;
        EXPECT_EQ(array.control.addSession(kHost, "vol001", sessionId), ControlResult::Ok);
        const auto created = array.send(invoke(servicePath("Merrow_StorageConfigurationService"), "CreateVolume",
                                               {param("ElementName", cim::CIMValue("with job")),
                                                param("Size", cim::CIMValue(std::uint64_t{1} << 30)),
                                                param("VolumeOrganization", cim::CIMValue(std::uint16_t{1}))}));
        EXPECT_EQ(returnValue(created), ArrayFailure::JobStarted);

        roots = {
            {Root::Top, firstPath("CIM_ComputerSystem", 0)},
            {Root::Controller, firstPath("CIM_ComputerSystem", 1)},
            {Root::Volume, firstPath("CIM_StorageVolume", 0)},
            {Root::JobVolume, outParam(created, "StorageVolume")->get<cim::CIMObjectPath>()},
            {Root::Disk, firstPath("CIM_DiskDrive", 0)},
            {Root::Leaf, firstPath("Merrow_LeafExtent", 0)},
            {Root::Pool, instancePath("CIM_StoragePool", PoolId::BaseA)},
            {Root::Job, outParam(created, "Job")->get<cim::CIMObjectPath>()},
            {Root::Target, target},
            {Root::Initiator, firstPath("CIM_StorageHardwareID", 0)},
            {Root::Port, firstPath("CIM_EthernetPort", 0)},
            {Root::Lag, firstPath("Merrow_DataLinkEndpoint", 0)},
            {Root::Portal, firstPath("CIM_TCPProtocolEndpoint", 0)},
            {Root::Session, instancePath("CIM_iSCSISession", sessionId)},
            {Root::Connection, firstPath("CIM_iSCSIConnection", 0)},
            {Root::Route, firstPath("Merrow_NetworkRoute", 1)},
        };
    }

    cim::CIMObjectPath firstPath(const char* className, std::size_t index)
    {
        const auto response = array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", cim::CIMValue(className))}));
        if (response.paths.size() <= index) {
            ADD_FAILURE() << "no " << className << " number " << index;
            return {};
        }
        return response.paths[index];
    }

    // What the container finds: the walk's last step, the root object itself, or the
    // enumeration of its class.
    std::vector<cim::CIMObject> find(const Chain& chain)
    {
        if (!chain.steps.empty())
            return walk(array, roots.at(chain.root), chain.steps);
        if (chain.root != Root::None) {
            const auto got = array.send(intrinsic("GetInstance", {param("InstanceName", cim::CIMValue(roots.at(chain.root)))}));
            return std::vector<cim::CIMObject>(got.instances.begin(), got.instances.end());
        }
        const auto all = enumerate(array, chain.resultClass);
        return std::vector<cim::CIMObject>(all.begin(), all.end());
    }

    static constexpr const char* kHost = "iqn.2024-01.org.example:host1";
    SimulatedArray array;
    std::map<Root, cim::CIMObjectPath> roots;
};

TEST_P(ModelWalk, FindsWhatTheContainerExpects)
{
    const Chain& chain = GetParam();
    const auto objects = find(chain);
    EXPECT_EQ(objects.size(), chain.count);
    for (const cim::CIMObject& object : objects)
        EXPECT_EQ(object.getClassName(), cim::CIMName(chain.resultClass));
}

// Steps that recur.
const Step kDiskExtent{"CIM_MediaPresent", "CIM_StorageExtent"};
const Step kTargetsOfVolume{"CIM_ProtocolControllerForUnit", "CIM_SCSIProtocolController"};
const Step kPrivilegesOfTarget{"CIM_AuthorizedTarget", "CIM_AuthorizedPrivilege"};
const Step kSubjectsOfPrivilege{"CIM_AuthorizedSubject", "CIM_StorageHardwareID"};

// The default array: 8 disks (6 in base pool A, 2 available), 2 volumes and the one created
// with a job, 2 registered initiators (the first granted and logged in), 2 controllers with
// 4 ports each (ports 1 and 2 aggregated, one portal per aggregate), 3 routes, 5 pools.
INSTANTIATE_TEST_SUITE_P(
    Containers, ModelWalk,
    testing::Values(
        Chain{"Volume: setting", Root::Volume, {{"CIM_ElementSettingData", "CIM_StorageSettingWithHints"}}, 1, "CIM_StorageSettingWithHints"},
        Chain{"Volume: pool", Root::Volume, {{"CIM_AllocatedFromStoragePool", "CIM_StoragePool"}}, 1, "CIM_StoragePool"},
        Chain{"Volume: tasks", Root::JobVolume, {{"CIM_AffectedJobElement", "CIM_ConcreteJob"}}, 1, "CIM_ConcreteJob"},
        Chain{"Volume: no tasks when none run", Root::Volume, {{"CIM_AffectedJobElement", "CIM_ConcreteJob"}}, 0, "CIM_ConcreteJob"},
        Chain{"Volume: targets", Root::Volume, {kTargetsOfVolume}, 1, "CIM_SCSIProtocolController"},
        Chain{"Volume: initiators with access", Root::Volume, {kTargetsOfVolume, kPrivilegesOfTarget, kSubjectsOfPrivilege}, 1, "CIM_StorageHardwareID"},
        Chain{"Volume: reconfiguring", Root::Volume, {{"Merrow_VolumeReconfiguring", "CIM_StorageVolume"}}, 0, "CIM_StorageVolume"},
        Chain{"Disk: extent", Root::Disk, {kDiskExtent}, 1, "CIM_StorageExtent"},
        Chain{"Disk: media of the extent", Root::Disk, {kDiskExtent, {"CIM_RealizesExtent", "CIM_PhysicalMedia"}}, 1, "CIM_PhysicalMedia"},
        // The first disk holds the first volume and the new one, which went to the first
        // of the equally free disks.
        Chain{"Disk: leaf extents of the extent", Root::Disk, {kDiskExtent, {"CIM_BasedOn", "Merrow_LeafExtent"}}, 2, "Merrow_LeafExtent"},
        Chain{"Disk: leaf extents", Root::Disk, {{"CIM_BasedOn", "Merrow_LeafExtent"}}, 2, "Merrow_LeafExtent"},
        Chain{"Disk: pool", Root::Disk, {{"CIM_ConcreteComponent", "CIM_StoragePool"}}, 1, "CIM_StoragePool"},
        Chain{"Disk: pool of the extent", Root::Disk, {kDiskExtent, {"CIM_ConcreteComponent", "CIM_StoragePool"}}, 1, "CIM_StoragePool"},
        Chain{"Disk: SMART status", Root::Disk, {{"Merrow_SMARTDataForDrive", "Merrow_DriveSMARTStatus"}}, 1, "Merrow_DriveSMARTStatus"},
        Chain{"Disk: tasks", Root::Disk, {{"CIM_AffectedJobElement", "CIM_ConcreteJob"}}, 0, "CIM_ConcreteJob"},
        Chain{"Extent: volumes", Root::Leaf, {{"CIM_BasedOn", "CIM_StorageVolume"}}, 1, "CIM_StorageVolume"},
        Chain{"Extent: disks", Root::Leaf, {{"CIM_BasedOn", "CIM_StorageExtent"}, {"CIM_MediaPresent", "CIM_DiskDrive"}}, 1, "CIM_DiskDrive"},
        Chain{"Composition: leaf extents", Root::Volume, {{"CIM_BasedOn", "Merrow_LeafExtent"}}, 1, "Merrow_LeafExtent"},
        Chain{"Composition: composite extents", Root::Volume, {{"CIM_BasedOn", "CIM_CompositeExtent"}}, 0, "CIM_CompositeExtent"},
        Chain{"ServerAndVirtualizer: disks", Root::Top, {{"CIM_SystemDevice", "CIM_DiskDrive"}}, 8, "CIM_DiskDrive"},
        Chain{"MultipleComputerSystems: controllers", Root::Top, {{"CIM_ComponentCS", "CIM_ComputerSystem"}}, 2, "CIM_ComputerSystem"},
        Chain{"UserList: accounts", Root::Top, {{"CIM_AccountOnSystem", "Merrow_Account"}}, 1, "Merrow_Account"},
        Chain{"CorvaneSystem, PoolList: pools", Root::Top, {{"CIM_HostedStoragePool", "CIM_StoragePool"}}, 5, "CIM_StoragePool"},
        Chain{"Controller: array system", Root::Controller, {{"CIM_ComponentCS", "CIM_ComputerSystem"}}, 1, "CIM_ComputerSystem"},
        Chain{"Controller: chassis", Root::Controller, {{"CIM_ComponentCS", "CIM_ComputerSystem"}, {"CIM_ComputerSystemPackage", "CIM_Chassis"}}, 1, "CIM_Chassis"},
        Chain{"Controller: chassis of the array", Root::Top, {{"CIM_ComputerSystemPackage", "CIM_Chassis"}}, 1, "CIM_Chassis"},
        Chain{"Controller: physical ports", Root::Controller, {{"CIM_SystemDevice", "CIM_EthernetPort"}}, 4, "CIM_EthernetPort"},
        Chain{"Controller: link aggregates", Root::Controller, {{"CIM_HostedAccessPoint", "Merrow_DataLinkEndpoint"}}, 1, "Merrow_DataLinkEndpoint"},
        Chain{"Controller: settings", Root::Controller, {{"Merrow_AssociatedControllerInfo", "Merrow_SystemSettingsController"}}, 1, "Merrow_SystemSettingsController"},
        Chain{"Controller: firmware", Root::Controller, {{"Merrow_FirmwareImagesForController", "Merrow_FirmwareImagesInfo"}}, 1, "Merrow_FirmwareImagesInfo"},
        Chain{"EthernetPort: link aggregate", Root::Port, {{"CIM_DeviceSAPImplementation", "Merrow_DataLinkEndpoint"}}, 1, "Merrow_DataLinkEndpoint"},
        Chain{"EthernetPort: systems", Root::Port, {{"CIM_SystemDevice", "CIM_ComputerSystem"}}, 2, "CIM_ComputerSystem"},
        Chain{"Pool: disks", Root::Pool, {{"CIM_ConcreteComponent", "CIM_StorageExtent"}, {"CIM_MediaPresent", "CIM_DiskDrive"}}, 6, "CIM_DiskDrive"},
        Chain{"VolumeList, SystemPerformanceSummary: volumes", Root::Top, {{"CIM_SystemDevice", "CIM_StorageVolume"}}, 3, "CIM_StorageVolume"},
        Chain{"Task: the job", Root::Job, {}, 1, "CIM_ConcreteJob"},
        Chain{"TaskList: all jobs", Root::None, {}, 1, "CIM_ConcreteJob"},
        Chain{"LAG: ports", Root::Lag, {{"CIM_DeviceSAPImplementation", "CIM_EthernetPort"}}, 2, "CIM_EthernetPort"},
        Chain{"LAG: portals", Root::Lag, {{"CIM_BindsTo", "CIM_IPProtocolEndpoint"}, {"CIM_BindsTo", "CIM_TCPProtocolEndpoint"}}, 1, "CIM_TCPProtocolEndpoint"},
        Chain{"SystemPerformanceSummary: media", Root::None, {}, 8, "CIM_PhysicalMedia"},
        Chain{"SystemPerformanceSummary, iSCSI: initiators", Root::None, {}, 2, "CIM_StorageHardwareID"},
        Chain{"SystemPerformanceSummary: sessions", Root::None, {}, 1, "CIM_iSCSISession"},
        Chain{"SystemPerformanceSummary, iSCSI: targets", Root::Top, {{"CIM_SystemDevice", "CIM_SCSIProtocolController"}}, 3, "CIM_SCSIProtocolController"},
        Chain{"NetworkRoute: the route", Root::Route, {}, 1, "Merrow_NetworkRoute"},
        Chain{"GlobalStaticNetworkRoutes: all routes", Root::None, {}, 3, "Merrow_NetworkRoute"},
        Chain{"AssociatedNetworkRoutes: routes", Root::Route, {{"Merrow_NetworkRouteDependency", "Merrow_NetworkRoute"}}, 1, "Merrow_NetworkRoute"},
        Chain{"iSCSITarget: endpoint", Root::Target, {{"CIM_SAPAvailableForElement2", "CIM_iSCSIProtocolEndpoint"}}, 1, "CIM_iSCSIProtocolEndpoint"},
        Chain{"iSCSITarget: session settings", Root::Target, {{"CIM_ElementSettingData", "CIM_iSCSISessionSettings"}}, 1, "CIM_iSCSISessionSettings"},
        Chain{"iSCSITarget: connection settings", Root::Target, {{"CIM_ElementSettingData", "CIM_iSCSIConnectionSettings"}}, 1, "CIM_iSCSIConnectionSettings"},
        Chain{"iSCSITarget: volume", Root::Target, {{"CIM_ProtocolControllerForUnit", "CIM_StorageVolume"}}, 1, "CIM_StorageVolume"},
        Chain{"iSCSITarget: initiators with access", Root::Target, {kPrivilegesOfTarget, kSubjectsOfPrivilege}, 1, "CIM_StorageHardwareID"},
        Chain{"iSCSITarget: secret", Root::Target, {{"CIM_ConcreteIdentity", "CIM_SharedSecret"}}, 1, "CIM_SharedSecret"},
        Chain{"iSCSITarget: sessions", Root::Target, {{"CIM_EndpointOfNetworkPipe", "CIM_iSCSISession"}}, 1, "CIM_iSCSISession"},
        Chain{"Initiator: secret", Root::Initiator, {{"CIM_ConcreteIdentity", "CIM_SharedSecret"}}, 1, "CIM_SharedSecret"},
        Chain{"Initiator: targets", Root::Initiator, {{"CIM_AuthorizedSubject", "CIM_AuthorizedPrivilege"}, {"CIM_AuthorizedTarget", "CIM_SCSIProtocolController"}}, 1, "CIM_SCSIProtocolController"},
        Chain{"Initiator: sessions", Root::Initiator, {{"Merrow_ActiveInitiatorSessions", "CIM_iSCSISession"}}, 1, "CIM_iSCSISession"},
        Chain{"iSCSI: portals", Root::Top, {{"CIM_HostedAccessPoint", "CIM_TCPProtocolEndpoint"}}, 2, "CIM_TCPProtocolEndpoint"},
        Chain{"iSCSI: link aggregates", Root::None, {}, 2, "Merrow_DataLinkEndpoint"},
        Chain{"iSCSI: ports", Root::Top, {{"CIM_SystemDevice", "CIM_EthernetPort"}}, 8, "CIM_EthernetPort"},
        Chain{"Portal: IP endpoint", Root::Portal, {{"CIM_BindsTo", "CIM_IPProtocolEndpoint"}}, 1, "CIM_IPProtocolEndpoint"},
        Chain{"Portal: remote access point", Root::Portal, {{"CIM_RemoteAccessAvailableToElement", "CIM_RemoteServiceAccessPoint"}}, 1, "CIM_RemoteServiceAccessPoint"},
        Chain{"Portal: VLAN", Root::Portal, {{"CIM_ConcreteDependency", "CIM_NetworkVLAN"}}, 1, "CIM_NetworkVLAN"},
        Chain{"Portal: link aggregate", Root::Portal, {{"CIM_BindsTo", "Merrow_DataLinkEndpoint"}}, 1, "Merrow_DataLinkEndpoint"},
        Chain{"Portal: connections", Root::Portal, {{"CIM_EndpointOfNetworkPipe", "CIM_iSCSIConnection"}}, 1, "CIM_iSCSIConnection"},
        Chain{"iSCSISession: targets", Root::Session, {{"CIM_EndpointOfNetworkPipe", "CIM_SCSIProtocolController"}}, 1, "CIM_SCSIProtocolController"},
        Chain{"iSCSISession: connections", Root::Session, {{"CIM_NetworkPipeComposition", "CIM_iSCSIConnection"}}, 1, "CIM_iSCSIConnection"},
        Chain{"iSCSISession: initiators", Root::Session, {{"Merrow_ActiveInitiatorSessions", "CIM_StorageHardwareID"}}, 1, "CIM_StorageHardwareID"},
        Chain{"iSCSIConnection: sessions", Root::Connection, {{"CIM_NetworkPipeComposition", "CIM_iSCSISession"}}, 1, "CIM_iSCSISession"},
        Chain{"iSCSIConnection: portals", Root::Connection, {{"CIM_EndpointOfNetworkPipe", "CIM_TCPProtocolEndpoint"}}, 1, "CIM_TCPProtocolEndpoint"}));

// The services and settings the profiles and groupings find by enumerating their class.
INSTANTIATE_TEST_SUITE_P(
    Singletons, ModelWalk,
    testing::ValuesIn([] {
        std::vector<Chain> chains;
        for (const char* className :
             {"Merrow_StorageConfigurationService", "CIM_ControllerConfigurationService",
              "CIM_StorageHardwareIDManagementService", "CIM_iSCSIConfigurationService", "Merrow_NetworkConfigurationService",
              "Merrow_SystemSettingsiComplex", "Merrow_SystemSettingsRedundantPair", "Merrow_SystemSettingsNetworkOutbandPort",
              "Merrow_SystemSettingsiScsiParams", "Merrow_iSNSSettings", "Merrow_IPSettings", "Merrow_TCPSettings",
              "Merrow_PingObject", "Merrow_SystemPolicySettings", "Merrow_ExternalConnectionsSettings",
              "Merrow_AccountManagementService", "CIM_RecordLog"})
            chains.push_back({className, Root::None, {}, 1, className});
        return chains;
    }()));

TEST(ModelWalkOrder, TopSystemComesFirstAndIsTheOneWithComponentSystems)
{
    SimulatedArray array(ArrayOptions{});
    const auto systems = enumerate(array, "CIM_ComputerSystem");
    ASSERT_EQ(systems.size(), 3u);
    EXPECT_EQ(stringOf(systems[0], "Name"), array.model.names().systemName());
    EXPECT_EQ(walk(array, systems[1].getPath(), {{"CIM_ComponentCS", "CIM_ComputerSystem"}}).size(), 1u);
}

TEST(ModelWalkOrder, AJobsOwnerIsTheVolumeItWorksOnAndFoundByItsDeviceIdAlone)
{
    SimulatedArray array(ArrayOptions{}, true);
    const auto created = array.send(invoke(servicePath("Merrow_StorageConfigurationService"), "CreateVolume",
                                           {param("ElementName", cim::CIMValue("with job")),
                                            param("Size", cim::CIMValue(std::uint64_t{1} << 30)),
                                            param("VolumeOrganization", cim::CIMValue(std::uint16_t{1}))}));
    ASSERT_EQ(returnValue(created), ArrayFailure::JobStarted);
    const cim::CIMObjectPath newVolume = outParam(created, "StorageVolume")->get<cim::CIMObjectPath>();
    const auto jobs = walk(array, newVolume, {{"CIM_AffectedJobElement", "CIM_ConcreteJob"}});
    ASSERT_EQ(jobs.size(), 1u);
    const std::string owner = stringOf(jobs[0].getInstance(), "Owner");
    EXPECT_EQ(owner.substr(0, 2), "3a");
    const auto byOwner = array.send(intrinsic("GetInstance", {param("InstanceName", cim::CIMValue(deviceIdPath("CIM_StorageVolume", owner)))}));
    ASSERT_EQ(byOwner.instances.size(), 1u);
    EXPECT_EQ(stringOf(byOwner.instances[0], "ElementName"), "with job");
}

} // namespace
} // namespace Merrow::Sim
