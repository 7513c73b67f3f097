// Every association chain and enumerated singleton the client library's profiles and
// groupings walk, against the default array, with the counts their callers rely on.

#include "SimTestSupport.h"

#include "sim/ArrayFailureCodes.h"

namespace Merrow::Sim {
namespace {

using namespace Testing;

class ModelWalk : public testing::Test {
protected:
    void SetUp() override
    {
        top = firstPath("CIM_ComputerSystem", 0);
        controllerA = firstPath("CIM_ComputerSystem", 1);
        volume = firstPath("CIM_StorageVolume", 0);
        disk = firstPath("CIM_DiskDrive", 0);
        leaf = firstPath("Merrow_LeafExtent", 0);
        target = firstPath("CIM_SCSIProtocolController", 0);
        initiator = firstPath("CIM_StorageHardwareID", 0);
        port = firstPath("CIM_EthernetPort", 0);
        lag = firstPath("Merrow_DataLinkEndpoint", 0);
        portal = firstPath("CIM_TCPProtocolEndpoint", 0);
        route = firstPath("Merrow_NetworkRoute", 1);
        basePool = instancePath("CIM_StoragePool", PoolId::BaseA);

        // One initiator with access to the first volume and a live session on it.
        const auto exposed = array.send(invoke(servicePath("CIM_ControllerConfigurationService"), "ExposePaths",
                                               {param("InitiatorPortIDs", cim::CIMValue(std::vector<std::string>{
                                                                              "iqn.2024-01.org.example:host1"})),
                                                param("ProtocolControllers", cim::CIMValue(std::vector{target}))}));
        ASSERT_EQ(returnValue(exposed), ArrayFailure::Ok);
        std::string sessionId;
        ASSERT_EQ(array.control.addSession("iqn.2024-01.org.example:host1", "vol001", sessionId), ControlResult::Ok);
        session = instancePath("CIM_iSCSISession", sessionId);
        connection = firstPath("CIM_iSCSIConnection", 0);
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

    void expectWalk(const cim::CIMObjectPath& start, const std::vector<Step>& steps, std::size_t count,
                    const char* className)
    {
        const auto objects = walk(array, start, steps);
        EXPECT_EQ(objects.size(), count) << start.getClassName() << " via " << steps.back().associationClass << " to "
                                         << steps.back().resultClass;
        for (const cim::CIMObject& object : objects)
            EXPECT_EQ(object.getClassName(), cim::CIMName(className));
    }

    SimulatedArray array;
    cim::CIMObjectPath top, controllerA, volume, disk, leaf, target, initiator, port, lag, portal, route, basePool,
        session, connection;
};

TEST_F(ModelWalk, VolumeProfile)
{
    expectWalk(volume, {{"CIM_ElementSettingData", "CIM_StorageSettingWithHints"}}, 1, "CIM_StorageSettingWithHints");
    expectWalk(volume, {{"CIM_AllocatedFromStoragePool", "CIM_StoragePool"}}, 1, "CIM_StoragePool");
    expectWalk(volume, {{"CIM_AffectedJobElement", "CIM_ConcreteJob"}}, 0, "CIM_ConcreteJob");
    expectWalk(volume, {{"CIM_ProtocolControllerForUnit", "CIM_SCSIProtocolController"}}, 1,
               "CIM_SCSIProtocolController");
    expectWalk(volume,
               {{"CIM_ProtocolControllerForUnit", "CIM_SCSIProtocolController"},
                {"CIM_AuthorizedTarget", "CIM_AuthorizedPrivilege"},
                {"CIM_AuthorizedSubject", "CIM_StorageHardwareID"}},
               1, "CIM_StorageHardwareID");
    expectWalk(volume, {{"Merrow_VolumeReconfiguring", "CIM_StorageVolume"}}, 0, "CIM_StorageVolume");
    expectWalk(volume, {{"CIM_BasedOn", "Merrow_LeafExtent"}}, 1, "Merrow_LeafExtent");
}

TEST_F(ModelWalk, DiskProfileFromTheDriveAndFromItsExtent)
{
    expectWalk(disk, {{"CIM_MediaPresent", "CIM_StorageExtent"}}, 1, "CIM_StorageExtent");
    const std::vector<Step> toExtent{{"CIM_MediaPresent", "CIM_StorageExtent"}};
    auto withExtent = [&](Step step) {
        std::vector<Step> steps = toExtent;
        steps.push_back(step);
        return steps;
    };
    expectWalk(disk, withExtent({"CIM_RealizesExtent", "CIM_PhysicalMedia"}), 1, "CIM_PhysicalMedia");
    expectWalk(disk, withExtent({"CIM_BasedOn", "Merrow_LeafExtent"}), 1, "Merrow_LeafExtent");
    expectWalk(disk, {{"CIM_BasedOn", "Merrow_LeafExtent"}}, 1, "Merrow_LeafExtent");
    expectWalk(disk, withExtent({"CIM_ConcreteComponent", "CIM_StoragePool"}), 1, "CIM_StoragePool");
    expectWalk(disk, {{"CIM_ConcreteComponent", "CIM_StoragePool"}}, 1, "CIM_StoragePool");
    expectWalk(disk, {{"Merrow_SMARTDataForDrive", "Merrow_DriveSMARTStatus"}}, 1, "Merrow_DriveSMARTStatus");
    expectWalk(disk, {{"CIM_AffectedJobElement", "CIM_ConcreteJob"}}, 0, "CIM_ConcreteJob");
}

TEST_F(ModelWalk, LeafExtentReachesItsDiskExtentNotItsVolumeAsAStorageExtent)
{
    expectWalk(leaf, {{"CIM_BasedOn", "CIM_StorageVolume"}}, 1, "CIM_StorageVolume");
    expectWalk(leaf, {{"CIM_BasedOn", "CIM_StorageExtent"}}, 1, "CIM_StorageExtent");
    expectWalk(leaf, {{"CIM_BasedOn", "CIM_StorageExtent"}, {"CIM_MediaPresent", "CIM_DiskDrive"}}, 1, "CIM_DiskDrive");
}

TEST_F(ModelWalk, SystemProfilesAndLists)
{
    expectWalk(top, {{"CIM_SystemDevice", "CIM_DiskDrive"}}, 8, "CIM_DiskDrive");
    expectWalk(top, {{"CIM_ComponentCS", "CIM_ComputerSystem"}}, 2, "CIM_ComputerSystem");
    expectWalk(top, {{"CIM_HostedStoragePool", "CIM_StoragePool"}}, 5, "CIM_StoragePool");
    expectWalk(top, {{"CIM_SystemDevice", "CIM_StorageVolume"}}, 2, "CIM_StorageVolume");
    expectWalk(top, {{"CIM_SystemDevice", "CIM_SCSIProtocolController"}}, 2, "CIM_SCSIProtocolController");
    expectWalk(top, {{"CIM_HostedAccessPoint", "CIM_TCPProtocolEndpoint"}}, 2, "CIM_TCPProtocolEndpoint");
    expectWalk(top, {{"CIM_SystemDevice", "CIM_EthernetPort"}}, 8, "CIM_EthernetPort");
    expectWalk(top, {{"CIM_ComputerSystemPackage", "CIM_Chassis"}}, 1, "CIM_Chassis");
}

TEST_F(ModelWalk, ControllerGrouping)
{
    expectWalk(controllerA, {{"CIM_ComponentCS", "CIM_ComputerSystem"}}, 1, "CIM_ComputerSystem");
    const auto above = walk(array, controllerA, {{"CIM_ComponentCS", "CIM_ComputerSystem"}});
    ASSERT_EQ(above.size(), 1u);
    EXPECT_EQ(above[0].getPath().findKeyBinding("Name")->getValue(), array.model.names().systemName());
    expectWalk(controllerA, {{"CIM_SystemDevice", "CIM_EthernetPort"}}, 4, "CIM_EthernetPort");
    expectWalk(controllerA, {{"CIM_HostedAccessPoint", "Merrow_DataLinkEndpoint"}}, 1, "Merrow_DataLinkEndpoint");
    expectWalk(controllerA, {{"Merrow_AssociatedControllerInfo", "Merrow_SystemSettingsController"}}, 1,
               "Merrow_SystemSettingsController");
    expectWalk(controllerA, {{"Merrow_FirmwareImagesForController", "Merrow_FirmwareImagesInfo"}}, 1,
               "Merrow_FirmwareImagesInfo");
}

TEST_F(ModelWalk, NetworkGroupings)
{
    expectWalk(port, {{"CIM_DeviceSAPImplementation", "Merrow_DataLinkEndpoint"}}, 1, "Merrow_DataLinkEndpoint");
    expectWalk(port, {{"CIM_SystemDevice", "CIM_ComputerSystem"}}, 2, "CIM_ComputerSystem");
    expectWalk(lag, {{"CIM_DeviceSAPImplementation", "CIM_EthernetPort"}}, 2, "CIM_EthernetPort");
    expectWalk(lag, {{"CIM_BindsTo", "CIM_IPProtocolEndpoint"}, {"CIM_BindsTo", "CIM_TCPProtocolEndpoint"}}, 1,
               "CIM_TCPProtocolEndpoint");
    expectWalk(portal, {{"CIM_BindsTo", "CIM_IPProtocolEndpoint"}}, 1, "CIM_IPProtocolEndpoint");
    expectWalk(portal, {{"CIM_BindsTo", "Merrow_DataLinkEndpoint"}}, 1, "Merrow_DataLinkEndpoint");
    expectWalk(portal, {{"CIM_RemoteAccessAvailableToElement", "CIM_RemoteServiceAccessPoint"}}, 1,
               "CIM_RemoteServiceAccessPoint");
    expectWalk(portal, {{"CIM_ConcreteDependency", "CIM_NetworkVLAN"}}, 1, "CIM_NetworkVLAN");
    expectWalk(portal, {{"CIM_EndpointOfNetworkPipe", "CIM_iSCSIConnection"}}, 1, "CIM_iSCSIConnection");
    expectWalk(route, {{"Merrow_NetworkRouteDependency", "Merrow_NetworkRoute"}}, 1, "Merrow_NetworkRoute");
}

TEST_F(ModelWalk, PoolGroupingFindsItsDisks)
{
    expectWalk(basePool, {{"CIM_ConcreteComponent", "CIM_StorageExtent"}, {"CIM_MediaPresent", "CIM_DiskDrive"}}, 6,
               "CIM_DiskDrive");
    expectWalk(instancePath("CIM_StoragePool", PoolId::Available),
               {{"CIM_ConcreteComponent", "CIM_StorageExtent"}}, 2, "CIM_StorageExtent");
}

TEST_F(ModelWalk, IscsiGroupings)
{
    expectWalk(target, {{"CIM_SAPAvailableForElement2", "CIM_iSCSIProtocolEndpoint"}}, 1, "CIM_iSCSIProtocolEndpoint");
    expectWalk(target, {{"CIM_ElementSettingData", "CIM_iSCSISessionSettings"}}, 1, "CIM_iSCSISessionSettings");
    expectWalk(target, {{"CIM_ElementSettingData", "CIM_iSCSIConnectionSettings"}}, 1, "CIM_iSCSIConnectionSettings");
    expectWalk(target, {{"CIM_ProtocolControllerForUnit", "CIM_StorageVolume"}}, 1, "CIM_StorageVolume");
    expectWalk(target, {{"CIM_AuthorizedTarget", "CIM_AuthorizedPrivilege"}, {"CIM_AuthorizedSubject", "CIM_StorageHardwareID"}},
               1, "CIM_StorageHardwareID");
    expectWalk(target, {{"CIM_ConcreteIdentity", "CIM_SharedSecret"}}, 1, "CIM_SharedSecret");
    expectWalk(target, {{"CIM_EndpointOfNetworkPipe", "CIM_iSCSISession"}}, 1, "CIM_iSCSISession");

    expectWalk(initiator, {{"CIM_ConcreteIdentity", "CIM_SharedSecret"}}, 1, "CIM_SharedSecret");
    expectWalk(initiator,
               {{"CIM_AuthorizedSubject", "CIM_AuthorizedPrivilege"}, {"CIM_AuthorizedTarget", "CIM_SCSIProtocolController"}},
               1, "CIM_SCSIProtocolController");
    expectWalk(initiator, {{"Merrow_ActiveInitiatorSessions", "CIM_iSCSISession"}}, 1, "CIM_iSCSISession");

    expectWalk(session, {{"CIM_EndpointOfNetworkPipe", "CIM_SCSIProtocolController"}}, 1, "CIM_SCSIProtocolController");
    expectWalk(session, {{"CIM_NetworkPipeComposition", "CIM_iSCSIConnection"}}, 1, "CIM_iSCSIConnection");
    expectWalk(session, {{"Merrow_ActiveInitiatorSessions", "CIM_StorageHardwareID"}}, 1, "CIM_StorageHardwareID");
    expectWalk(connection, {{"CIM_NetworkPipeComposition", "CIM_iSCSISession"}}, 1, "CIM_iSCSISession");
    expectWalk(connection, {{"CIM_EndpointOfNetworkPipe", "CIM_TCPProtocolEndpoint"}}, 1, "CIM_TCPProtocolEndpoint");
}

TEST_F(ModelWalk, EnumeratedSingletonsAreSingle)
{
    for (const char* className :
         {"Merrow_StorageConfigurationService", "CIM_StorageConfigurationService", "CIM_ControllerConfigurationService",
          "CIM_StorageHardwareIDManagementService", "CIM_iSCSIConfigurationService", "Merrow_NetworkConfigurationService",
          "Merrow_SystemSettingsiComplex", "Merrow_SystemSettingsRedundantPair", "Merrow_SystemSettingsNetworkOutbandPort",
          "Merrow_SystemSettingsiScsiParams", "Merrow_iSNSSettings", "Merrow_IPSettings", "Merrow_TCPSettings",
          "Merrow_PingObject"}) {
        EXPECT_EQ(enumerate(array, className).size(), 1u) << className;
    }
}

TEST_F(ModelWalk, TopSystemComesFirstAndIsTheOneWithComponentSystems)
{
    const auto systems = enumerate(array, "CIM_ComputerSystem");
    ASSERT_EQ(systems.size(), 3u);
    EXPECT_EQ(stringOf(systems[0], "Name"), array.model.names().systemName());
    EXPECT_EQ(walk(array, systems[1].getPath(), {{"CIM_ComponentCS", "CIM_ComputerSystem"}}).size(), 1u);
}

TEST_F(ModelWalk, JobsHangOffTheVolumeTheyWorkOn)
{
    array.settings.jobsEnabled = true;
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
    EXPECT_EQ(owner, newVolume.findKeyBinding("DeviceID")->getValue());
}

} // namespace
} // namespace Merrow::Sim
