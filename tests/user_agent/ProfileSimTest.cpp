// Profiles and groupings against the simulated array: every container's chain resolves on a
// real object model, data is fetched only when needed, writes reach the array or leave the
// cache as it was, and indications update the cache and end a service only for its root.

#include "user_agent/base/MWExceptions.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/groupings/FunctionalGrouping_AdvancedSettings.h"
#include "user_agent/groupings/FunctionalGrouping_AssociatedNetworkRoutes.h"
#include "user_agent/groupings/FunctionalGrouping_Controller.h"
#include "user_agent/groupings/FunctionalGrouping_CorvaneSystem.h"
#include "user_agent/groupings/FunctionalGrouping_EthernetPort.h"
#include "user_agent/groupings/FunctionalGrouping_GlobalStaticNetworkRoutes.h"
#include "user_agent/groupings/FunctionalGrouping_Initiator.h"
#include "user_agent/groupings/FunctionalGrouping_LAG.h"
#include "user_agent/groupings/FunctionalGrouping_ManagementPort.h"
#include "user_agent/groupings/FunctionalGrouping_NetworkRoute.h"
#include "user_agent/groupings/FunctionalGrouping_Pool.h"
#include "user_agent/groupings/FunctionalGrouping_PoolList.h"
#include "user_agent/groupings/FunctionalGrouping_Portal.h"
#include "user_agent/groupings/FunctionalGrouping_SystemPerformanceSummary.h"
#include "user_agent/groupings/FunctionalGrouping_Task.h"
#include "user_agent/groupings/FunctionalGrouping_TaskList.h"
#include "user_agent/groupings/FunctionalGrouping_VolumeList.h"
#include "user_agent/groupings/FunctionalGrouping_iSCSI.h"
#include "user_agent/groupings/FunctionalGrouping_iSCSIConnection.h"
#include "user_agent/groupings/FunctionalGrouping_iSCSISession.h"
#include "user_agent/groupings/FunctionalGrouping_iSCSITarget.h"
#include "user_agent/profiles/Profile_BlockServices_CorvaneSystem.h"
#include "user_agent/profiles/Profile_BlockServices_Extent.h"
#include "user_agent/profiles/Profile_BlockServices_Volume.h"
#include "user_agent/profiles/Profile_BlockServices_VolumeComposition.h"
#include "user_agent/profiles/Profile_Disk.h"
#include "user_agent/profiles/Profile_MultipleComputerSystems.h"
#include "user_agent/profiles/Profile_ServerAndVirtualizer.h"
#include "user_agent/root/MerrowUserAgent.h"

#include "ProfileTestService.h"
#include "ServiceIndicationCollector.h"
#include "SimArray.h"
#include "StartedRootSimTest.h"

#include <gtest/gtest.h>

#include <set>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;

constexpr const char* kHost1 = "iqn.2024-01.org.example:host1";

class ProfileSimTest : public StartedRootSimTest {
protected:
    template <typename Profile>
    std::shared_ptr<ProfileTestService<Profile>> serviceOn(const cim::CIMObjectPath& root) {
        auto service = std::make_shared<ProfileTestService<Profile>>(m_connection, root);
        EXPECT_EQ(service->Init().getCode(), R::UA_S_OK);
        return service;
    }

    // Logs in to `array`, reads the system's volume list, makes the volume `name` on the array
    // and tells in `joined` whether the list showed it in time.
    void makeVolumeSeenByTheSystemsList(SimArray& array, const std::string& name,
                                        std::shared_ptr<ProfileTestService<FunctionalGrouping_VolumeList>>& service,
                                        bool& joined) {
        connect(array);
        service = serviceOn<FunctionalGrouping_VolumeList>(top());
        std::vector<cim::CIMObject> volumes;
        ASSERT_EQ(service->profile().Get_Volumes_List(volumes).getCode(), R::UA_S_OK);
        const std::size_t before = volumes.size();
        std::string volumeId;
        ASSERT_EQ(array.control().addVolume(name, 1ull << 30, volumeId), Sim::ControlResult::Ok);
        joined = eventually([&] {
            service->profile().Get_Volumes_List(volumes);
            return volumes.size() == before + 1;
        });
    }

    UACIMClient& client() { return *m_connection.GetConnectionImpl(); }
    cim::CIMObjectPath top() {
        cim::CIMObjectPath path;
        EXPECT_EQ(m_connection.GetTopComputerSystem(path).getCode(), R::UA_S_OK);
        return path;
    }
    cim::CIMObjectPath onlyPathOf(const char* className) {
        auto paths = client().enumerateInstanceNames(kNamespace, className);
        EXPECT_EQ(paths.size(), 1u) << className;
        return paths.empty() ? cim::CIMObjectPath() : paths.front();
    }
    cim::CIMObjectPath volumePath(const std::string& deviceId) {
        for (const auto& path : client().enumerateInstanceNames(kNamespace, "CIM_StorageVolume")) {
            const cim::CIMKeyBinding* key = path.findKeyBinding("DeviceID");
            if (key && key->getValue() == deviceId)
                return path;
        }
        return {};
    }
    std::uint32_t invoke(const cim::CIMObjectPath& target, const char* method,
                         std::vector<cim::CIMParamValue> in) {
        std::vector<cim::CIMParamValue> out;
        return client().invokeMethod(kNamespace, target, method, in, out).get<std::uint32_t>();
    }
    std::uint64_t requests() {
        std::uint64_t total = 0;
        for (const auto& [operation, count] : m_array->control().requestCounts()) {
            if (operation != "InvokeMethod" && operation.find('_') == std::string::npos)
                total += count;
        }
        return total;
    }

    static inline const cim::CIMNamespaceName kNamespace{"root/snia"};
};

std::string stringOf(const cim::CIMObject& object, const char* property) {
    return object.getInstance().getPropertyValue(property).get<std::string>();
}

// ---- every chain of every table ----------------------------------------------------------

// Resolves every container of a profile: each object must be found and each list is noted,
// so that a list empty for every root it was tried on shows up at the end.
class ContainerWalk {
public:
    template <typename Profile>
    void check(Profile& profile, const std::set<std::string>& unreadableAllowed = {}) {
        const std::string profileName = profile.className();
        for (std::size_t i = 0; i < profile.GetContainers().size(); ++i) {
            CIM_ObjectContainerInterface* container = profile.GetContainers()[i];
            const std::string name = profileName + "." + profile.GetContainerNames()[i];
            if (container->IsObjectContainer()) {
                EXPECT_FALSE(container->GetCIMObjectPath().isNull()) << name << " not found";
                continue;
            }
            m_lists.insert(name);
            if (!static_cast<CIM_ObjectList*>(container)->GetObjects().empty())
                m_nonEmptyLists.insert(name);
        }
        std::vector<std::string> unreadable;
        profile.CheckAllProperties(unreadable);
        for (const std::string& property : unreadable)
            EXPECT_TRUE(unreadableAllowed.count(property)) << profileName << " " << property;
    }

    std::set<std::string> listsNeverFilled() const {
        std::set<std::string> empty;
        for (const std::string& list : m_lists)
            if (!m_nonEmptyLists.count(list))
                empty.insert(list);
        return empty;
    }

private:
    std::set<std::string> m_lists;
    std::set<std::string> m_nonEmptyLists;
};

TEST_F(ProfileSimTest, EveryContainerOfEveryProfileAndGroupingResolves) {
    SimArray array("127.77.19.1");
    connect(array);
    array.control().setJobs(true, 600000);
    const cim::CIMObjectPath vol001 = volumePath("3a000001");
    ASSERT_FALSE(vol001.isNull());
    // Give every list something to find: a session and a grant on vol001, a reconfiguration
    // of it (a job and a shadow volume) and a job on an unused disk.
    std::string sessionId;
    ASSERT_EQ(array.control().addSession(kHost1, "3a000001", sessionId), Sim::ControlResult::Ok);
    const auto target = client().associatorNames(kNamespace, vol001, "CIM_ProtocolControllerForUnit",
                                                 "CIM_SCSIProtocolController");
    ASSERT_EQ(target.size(), 1u);
    EXPECT_EQ(invoke(onlyPathOf("CIM_ControllerConfigurationService"), "ExposePaths",
                     {{"InitiatorPortIDs", cim::CIMValue(std::vector<std::string>{kHost1})},
                      {"ProtocolControllers", cim::CIMValue(target)}}),
              0u);
    const cim::CIMObjectPath storageService = onlyPathOf("Merrow_StorageConfigurationService");
    EXPECT_EQ(invoke(storageService, "ReconfigureVolume",
                     {{"Volume", cim::CIMValue(vol001)},
                      {"Size", cim::CIMValue(std::uint64_t{2} << 30)},
                      {"VolumeOrganization", cim::CIMValue(std::uint16_t{1})},
                      {"StripeWidth", cim::CIMValue(std::uint8_t{1})},
                      {"ChunkSize", cim::CIMValue(std::uint32_t{1000000})}}),
              4096u);

    ContainerWalk walk;
    std::vector<cim::CIMObject> objects;
    auto volume = serviceOn<Profile_BlockServices_Volume>(vol001);
    walk.check(volume->profile());
    auto composition = serviceOn<Profile_BlockServices_VolumeComposition>(vol001);
    walk.check(composition->profile());
    ASSERT_EQ(composition->profile().Get_Extents_List(objects).getCode(), R::UA_S_OK);
    ASSERT_FALSE(objects.empty());
    auto extent = serviceOn<Profile_BlockServices_Extent>(objects.front().getPath());
    walk.check(extent->profile());
    ASSERT_EQ(extent->profile().Get_DiskDrive_List(objects).getCode(), R::UA_S_OK);
    ASSERT_EQ(objects.size(), 1u);
    walk.check(serviceOn<Profile_Disk>(objects.front().getPath())->profile());

    const cim::CIMObjectPath system = top();
    auto server = serviceOn<Profile_ServerAndVirtualizer>(system);
    walk.check(server->profile());
    ASSERT_EQ(server->profile().Get_Disks_List(objects).getCode(), R::UA_S_OK);
    {
        // The last disk is in the available pool, unused: it can be initialised.
        const cim::CIMObject& disk = objects.back();
        EXPECT_EQ(invoke(storageService, "InitializeStorageDevice",
                         {{"ElementType", cim::CIMValue(std::uint16_t{2})},
                          {"StorageDevice", cim::CIMValue(disk.getPath())}}),
                  4096u);
        walk.check(serviceOn<Profile_Disk>(disk.getPath())->profile());
    }
    auto systems = serviceOn<Profile_MultipleComputerSystems>(system);
    walk.check(systems->profile());
    auto blockServices = serviceOn<Profile_BlockServices_CorvaneSystem>(system);
    walk.check(blockServices->profile());
    ASSERT_EQ(blockServices->profile().Get_Pool_List(objects).getCode(), R::UA_S_OK);
    for (const cim::CIMObject& pool : objects)
        walk.check(serviceOn<FunctionalGrouping_Pool>(pool.getPath())->profile());

    ASSERT_EQ(systems->profile().Get_Controller_List(objects).getCode(), R::UA_S_OK);
    ASSERT_EQ(objects.size(), 2u);
    auto controller = serviceOn<FunctionalGrouping_Controller>(objects.front().getPath());
    walk.check(controller->profile());
    ASSERT_EQ(controller->profile().Get_LAGs_List(objects).getCode(), R::UA_S_OK);
    ASSERT_FALSE(objects.empty());
    auto lag = serviceOn<FunctionalGrouping_LAG>(objects.front().getPath());
    walk.check(lag->profile());
    ASSERT_EQ(lag->profile().Get_EthernetPorts_List(objects).getCode(), R::UA_S_OK);
    ASSERT_FALSE(objects.empty());
    walk.check(serviceOn<FunctionalGrouping_EthernetPort>(objects.front().getPath())->profile());

    walk.check(serviceOn<FunctionalGrouping_CorvaneSystem>(system)->profile());
    walk.check(serviceOn<FunctionalGrouping_PoolList>(system)->profile());
    walk.check(serviceOn<FunctionalGrouping_VolumeList>(system)->profile());
    walk.check(serviceOn<FunctionalGrouping_ManagementPort>(system)->profile());
    walk.check(serviceOn<FunctionalGrouping_AdvancedSettings>(system)->profile());
    walk.check(serviceOn<FunctionalGrouping_SystemPerformanceSummary>(system)->profile());
    auto tasks = serviceOn<FunctionalGrouping_TaskList>(system);
    walk.check(tasks->profile());
    ASSERT_EQ(tasks->profile().Get_Tasks_List(objects).getCode(), R::UA_S_OK);
    for (const cim::CIMObject& task : objects) {
        // A job that has not been scheduled for later has no scheduled start, and only a
        // failed one has an error description.
        walk.check(serviceOn<FunctionalGrouping_Task>(task.getPath())->profile(),
                   {"Task.ScheduledStartTime", "Task.ErrorDescription"});
    }

    auto iscsi = serviceOn<FunctionalGrouping_iSCSI>(system);
    walk.check(iscsi->profile());
    ASSERT_EQ(iscsi->profile().Get_Portals_List(objects).getCode(), R::UA_S_OK);
    for (const cim::CIMObject& portal : objects)
        walk.check(serviceOn<FunctionalGrouping_Portal>(portal.getPath())->profile());
    ASSERT_EQ(volume->profile().Get_Targets_List(objects).getCode(), R::UA_S_OK);
    ASSERT_EQ(objects.size(), 1u);
    auto targetGrouping = serviceOn<FunctionalGrouping_iSCSITarget>(objects.front().getPath());
    walk.check(targetGrouping->profile());
    ASSERT_EQ(volume->profile().Get_Initiators_List(objects).getCode(), R::UA_S_OK);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(stringOf(objects.front(), "StorageID"), kHost1);
    walk.check(serviceOn<FunctionalGrouping_Initiator>(objects.front().getPath())->profile());
    ASSERT_EQ(targetGrouping->profile().Get_Sessions_List(objects).getCode(), R::UA_S_OK);
    ASSERT_EQ(objects.size(), 1u);
    auto session = serviceOn<FunctionalGrouping_iSCSISession>(objects.front().getPath());
    walk.check(session->profile());
    ASSERT_EQ(session->profile().Get_Connections_List(objects).getCode(), R::UA_S_OK);
    ASSERT_EQ(objects.size(), 1u);
    walk.check(serviceOn<FunctionalGrouping_iSCSIConnection>(objects.front().getPath())->profile());

    auto routes = serviceOn<FunctionalGrouping_GlobalStaticNetworkRoutes>(system);
    walk.check(routes->profile());
    ASSERT_EQ(routes->profile().Get_NetworkRoutes_List(objects).getCode(), R::UA_S_OK);
    for (const cim::CIMObject& route : objects) {
        walk.check(serviceOn<FunctionalGrouping_NetworkRoute>(route.getPath())->profile());
        walk.check(serviceOn<FunctionalGrouping_AssociatedNetworkRoutes>(route.getPath())->profile());
    }

    EXPECT_EQ(walk.listsNeverFilled(), std::set<std::string>{});
}

TEST_F(ProfileSimTest, AnEmptyRootPathIsRefused) {
    EXPECT_THROW(Profile_Disk(cim::CIMObjectPath()), MWEAssertionFailure);
}

// ---- when requests are sent ---------------------------------------------------------------

TEST_F(ProfileSimTest, FetchesOnFirstReadAfterInvalidationAndAfterARefreshOnly) {
    SimArray array("127.77.19.2");
    connect(array);
    const cim::CIMObjectPath vol001 = volumePath("3a000001");
    array.control().resetRequestCounts();
    auto service = serviceOn<Profile_BlockServices_Volume>(vol001);
    auto& profile = service->profile();
    EXPECT_EQ(profile.FetchAllProfileData(false).getCode(), R::UA_S_FALSE);
    EXPECT_EQ(requests(), 0u) << "Init and FetchAllProfileData must not send requests";

    std::string name;
    std::uint16_t stripe = 0;
    EXPECT_EQ(profile.Get_Volume_ElementName(name).getCode(), R::UA_S_OK);
    EXPECT_EQ(name, "vol001");
    EXPECT_EQ(requests(), 1u);
    EXPECT_EQ(profile.Get_Volume_Name(name).getCode(), R::UA_S_OK);
    EXPECT_EQ(profile.FetchAllProfileData(false).getCode(), R::UA_S_FALSE);
    EXPECT_EQ(profile.Get_Volume_ElementName(name).getCode(), R::UA_S_OK);
    EXPECT_EQ(requests(), 1u);
    EXPECT_EQ(profile.Get_StorageSetting_ExtentStripeLength(stripe).getCode(), R::UA_S_OK);
    const std::uint64_t afterSetting = requests();
    EXPECT_GT(afterSetting, 1u);

    EXPECT_EQ(profile.FetchAllProfileData(true).getCode(), R::UA_S_FALSE);
    EXPECT_EQ(requests(), afterSetting);
    EXPECT_EQ(profile.Get_Volume_ElementName(name).getCode(), R::UA_S_OK);
    EXPECT_EQ(requests(), afterSetting + 1);

    EXPECT_GE(CIM_ObjectContainerInterface::InvalidateCacheForObjectPath(vol001), 1u);
    EXPECT_EQ(profile.Get_Volume_ElementName(name).getCode(), R::UA_S_OK);
    EXPECT_EQ(requests(), afterSetting + 2);
}

// ---- writes -------------------------------------------------------------------------------

TEST_F(ProfileSimTest, AWriteReachesTheArrayAndARefusedOneKeepsTheOldValue) {
    SimArray array("127.77.19.3");
    connect(array);
    const cim::CIMObjectPath vol001 = volumePath("3a000001");
    auto service = serviceOn<Profile_BlockServices_Volume>(vol001);
    auto& profile = service->profile();
    std::string name;
    ASSERT_EQ(profile.Get_Volume_ElementName(name).getCode(), R::UA_S_OK);

    array.control().failNextCalls("ModifyInstance", 1, 4);
    EXPECT_EQ(profile.Set_Volume_ElementName("refused").getCode(), R::UA_E_FAIL);
    array.control().resetRequestCounts();
    EXPECT_EQ(profile.Get_Volume_ElementName(name).getCode(), R::UA_S_OK);
    EXPECT_EQ(name, "vol001");
    EXPECT_EQ(requests(), 0u);

    EXPECT_EQ(profile.Set_Volume_ElementName("renamed").getCode(), R::UA_S_OK);
    EXPECT_EQ(array.control().requestCount("ModifyInstance"), 1u);
    auto fresh = serviceOn<Profile_BlockServices_Volume>(vol001);
    EXPECT_EQ(fresh->profile().Get_Volume_ElementName(name).getCode(), R::UA_S_OK);
    EXPECT_EQ(name, "renamed");
}

// ---- indications --------------------------------------------------------------------------

TEST_F(ProfileSimTest, DeletingTheRootRemovesTheServiceAndAWriteThenSendsNothing) {
    SimArray array("127.77.19.4");
    connect(array);
    std::string volumeId;
    ASSERT_EQ(array.control().addVolume("doomed", 1ull << 30, volumeId), Sim::ControlResult::Ok);
    auto service = serviceOn<Profile_BlockServices_Volume>(volumePath(volumeId));
    std::string name;
    ASSERT_EQ(service->profile().Get_Volume_ElementName(name).getCode(), R::UA_S_OK);

    ASSERT_EQ(array.control().removeVolume(volumeId), Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] { return service->IsServiceRemoved(); }));
    array.control().resetRequestCounts();
    EXPECT_EQ(service->profile().Set_Volume_ElementName("ghost").getCode(), R::UA_E_FAIL);
    EXPECT_EQ(requests(), 0u);
}

TEST_F(ProfileSimTest, DeletingAMemberIsAChangeButKeepsTheService) {
    SimArray array("127.77.19.5");
    connect(array);
    const cim::CIMObjectPath vol001 = volumePath("3a000001");
    const auto target = client().associatorNames(kNamespace, vol001, "CIM_ProtocolControllerForUnit",
                                                 "CIM_SCSIProtocolController");
    ASSERT_EQ(invoke(onlyPathOf("CIM_ControllerConfigurationService"), "ExposePaths",
                     {{"InitiatorPortIDs", cim::CIMValue(std::vector<std::string>{kHost1})},
                      {"ProtocolControllers", cim::CIMValue(target)}}),
              0u);
    auto service = serviceOn<Profile_BlockServices_Volume>(vol001);
    std::vector<cim::CIMObject> initiators;
    ASSERT_EQ(service->profile().Get_Initiators_List(initiators).getCode(), R::UA_S_OK);
    ASSERT_EQ(initiators.size(), 1u);

    startCollecting(*m_root);
    ASSERT_EQ(array.control().removeInitiator(kHost1), Sim::ControlResult::Ok);
    // The grant's own creation indications may still be on their way: whichever indication
    // brings the loss to the list, the service must report it as a change.
    const auto taken = takeUntil(*m_root, [&](const ServiceIndication& indication) {
        if (!indication.GetService().IsSameService(MerrowService(service)))
            return false;
        service->profile().Get_Initiators_List(initiators);
        return initiators.empty();
    });
    ASSERT_FALSE(taken.empty()) << "the initiator's loss did not change the volume's profile";
    EXPECT_EQ(taken.back().GetCode(), ServiceIndication::ServiceChanged);
    EXPECT_FALSE(service->IsServiceRemoved());
}

// A revoked grant deletes the privilege and its two associations; none of them is an entry
// of the target's initiator list, yet the initiator must leave it. The grant's own creation
// indications, had any still been on its way, would have read the list again and hidden the
// loss: the renamed target marks the point by which they were all applied.
TEST_F(ProfileSimTest, ARevokedGrantLeavesTheTargetsListAfterTheGrantsIndicationsWereApplied) {
    SimArray array("127.101.1.1");
    connect(array);
    startCollecting(*m_root);
    const auto targets = client().associatorNames(kNamespace, volumePath("3a000001"),
                                                  "CIM_ProtocolControllerForUnit",
                                                  "CIM_SCSIProtocolController");
    ASSERT_EQ(targets.size(), 1u);
    auto service = serviceOn<FunctionalGrouping_iSCSITarget>(targets.front());
    const MerrowService watched(service);
    std::vector<cim::CIMObject> initiators;
    ASSERT_EQ(service->profile().Get_Initiators_List(initiators).getCode(), R::UA_S_OK);
    ASSERT_TRUE(initiators.empty());
    const std::vector<cim::CIMParamValue> access{
        {"InitiatorPortIDs", cim::CIMValue(std::vector<std::string>{kHost1})},
        {"ProtocolControllers", cim::CIMValue(targets)}};
    const cim::CIMObjectPath masking = onlyPathOf("CIM_ControllerConfigurationService");
    ASSERT_EQ(invoke(masking, "ExposePaths", access), 0u);

    ASSERT_EQ(service->profile().Set_ProtolcolController_ElementName("marker").getCode(),
              R::UA_S_OK);
    const auto untilMarker = takeUntil(*m_root, [&](const ServiceIndication& indication) {
        const UAIndication& cause = indication.GetIndication();
        return indication.GetService().IsSameService(watched) &&
               cause.GetType() == UAIndication::CIMIndicationType_Modification &&
               cim::CIMName(cause.GetSourceClassName()) == "CIM_SCSIProtocolController";
    });
    ASSERT_FALSE(untilMarker.empty()) << "the target's rename never reached its service";
    ASSERT_EQ(service->profile().Get_Initiators_List(initiators).getCode(), R::UA_S_OK);
    ASSERT_EQ(initiators.size(), 1u);

    ASSERT_EQ(invoke(masking, "HidePaths", access), 0u);
    const auto untilEmpty = takeUntil(*m_root, [&](const ServiceIndication& indication) {
        if (!indication.GetService().IsSameService(watched))
            return false;
        service->profile().Get_Initiators_List(initiators);
        return initiators.empty();
    });
    ASSERT_FALSE(untilEmpty.empty()) << "the revoked initiator stayed on the target's list";
    EXPECT_EQ(untilEmpty.back().GetCode(), ServiceIndication::ServiceChanged);
    EXPECT_FALSE(service->IsServiceRemoved());
}

TEST_F(ProfileSimTest, AModificationReplacesTheCachedInstance) {
    SimArray array("127.77.19.6");
    connect(array);
    const cim::CIMObjectPath vol001 = volumePath("3a000001");
    auto watcher = serviceOn<Profile_BlockServices_Volume>(vol001);
    auto writer = serviceOn<Profile_BlockServices_Volume>(vol001);
    std::string name;
    ASSERT_EQ(watcher->profile().Get_Volume_ElementName(name).getCode(), R::UA_S_OK);
    ASSERT_EQ(writer->profile().Get_Volume_ElementName(name).getCode(), R::UA_S_OK);

    array.control().resetRequestCounts();
    ASSERT_EQ(writer->profile().Set_Volume_ElementName("seen-by-indication").getCode(), R::UA_S_OK);
    EXPECT_TRUE(eventually([&] {
        watcher->profile().Get_Volume_ElementName(name);
        return name == "seen-by-indication";
    }));
    EXPECT_EQ(array.control().requestCount("GetInstance"), 0u);
}

TEST_F(ProfileSimTest, ACreationRefetchesAListOfItsClass) {
    SimArray array("127.77.19.7");
    std::shared_ptr<ProfileTestService<FunctionalGrouping_VolumeList>> service;
    bool joined = false;
    ASSERT_NO_FATAL_FAILURE(makeVolumeSeenByTheSystemsList(array, "newcomer", service, joined));
    ASSERT_TRUE(joined);
    EXPECT_FALSE(service->IsServiceRemoved());
}

// Every volume handle holds lists walked from its volume; a volume made elsewhere on the
// array names none of them in its associations and must not make each of them read again.
TEST_F(ProfileSimTest, ANewVolumeReadsAgainOnlyTheListsItsAssociationsName) {
    auto options = simOptions("127.102.0.1");
    options.array.volumes = 6;
    SimArray array(std::move(options));
    connect(array);
    auto list = serviceOn<FunctionalGrouping_VolumeList>(top());
    std::vector<cim::CIMObject> volumes;
    ASSERT_EQ(list->profile().Get_Volumes_List(volumes).getCode(), R::UA_S_OK);
    ASSERT_GE(volumes.size(), 4u);
    std::vector<std::shared_ptr<ProfileTestService<Profile_BlockServices_VolumeComposition>>> held;
    for (const cim::CIMObject& volume : volumes) {
        held.push_back(serviceOn<Profile_BlockServices_VolumeComposition>(volume.getPath()));
        std::vector<cim::CIMObject> extents;
        ASSERT_EQ(held.back()->profile().Get_Extents_List(extents).getCode(), R::UA_S_OK);
    }
    auto marked = serviceOn<Profile_BlockServices_Volume>(volumes.front().getPath());
    std::string name;
    ASSERT_EQ(marked->profile().Get_Volume_ElementName(name).getCode(), R::UA_S_OK);
    // Indications are applied in order: once a rename made after a volume is seen, the
    // volume's indications have been applied.
    auto addVolumeAndWait = [&](const std::string& volumeName) {
        std::string volumeId;
        ASSERT_EQ(array.control().addVolume(volumeName, 1ull << 30, volumeId), Sim::ControlResult::Ok);
        const std::string marker = "after-" + volumeName;
        ASSERT_EQ(array.control().renameVolume(stringOf(volumes.front(), "DeviceID"), marker),
                  Sim::ControlResult::Ok);
        ASSERT_TRUE(eventually([&] {
            marked->profile().Get_Volume_ElementName(name);
            return name == marker;
        }));
    };
    // The first volume shows that the array announces associations.
    ASSERT_NO_FATAL_FAILURE(addVolumeAndWait("first"));

    array.control().resetRequestCounts();
    ASSERT_NO_FATAL_FAILURE(addVolumeAndWait("second"));
    ASSERT_TRUE(eventually([&] {
        list->profile().Get_Volumes_List(volumes);
        return volumes.size() == held.size() + 2;
    })) << "the system's list follows the new volumes";
    EXPECT_LT(array.control().requestCount("Associators"), held.size())
        << "the held volumes' extent lists were read again";
}

// The system's list of volumes is one association away from the system: the association
// that links a new volume to the system says which volume joins, and its deletion which
// leaves, so neither reads the whole list again (a thousand volumes on a big array).
TEST_F(ProfileSimTest, AVolumeJoinsAndLeavesTheSystemsListWithoutTheListBeingReadAgain) {
    SimArray array("127.102.0.4");
    std::shared_ptr<ProfileTestService<FunctionalGrouping_VolumeList>> service;
    bool joined = false;
    // The first volume shows that the array announces associations.
    ASSERT_NO_FATAL_FAILURE(makeVolumeSeenByTheSystemsList(array, "first", service, joined));
    ASSERT_TRUE(joined);
    std::vector<cim::CIMObject> volumes;
    ASSERT_EQ(service->profile().Get_Volumes_List(volumes).getCode(), R::UA_S_OK);
    const std::size_t before = volumes.size();

    array.control().resetRequestCounts();
    std::string volumeId;
    ASSERT_EQ(array.control().addVolume("second", 1ull << 30, volumeId), Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] {
        service->profile().Get_Volumes_List(volumes);
        return volumes.size() == before + 1;
    }));
    EXPECT_EQ(stringOf(volumes.back(), "ElementName"), "second") << "the entry is the volume as read";
    EXPECT_EQ(volumes.back().getPath().getHost(), volumes.front().getPath().getHost())
        << "the entry is named as a read of the whole list names it";
    ASSERT_EQ(array.control().removeVolume(volumeId), Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] {
        service->profile().Get_Volumes_List(volumes);
        return volumes.size() == before;
    }));
    EXPECT_TRUE(std::none_of(volumes.begin(), volumes.end(),
                             [](const cim::CIMObject& volume) { return stringOf(volume, "ElementName") == "second"; }));
    EXPECT_EQ(array.control().requestCount("Associators"), 0u);
    EXPECT_FALSE(service->IsServiceRemoved());
}

// An array that will not name a class's descendants: the list cannot tell which objects
// could join it, reads itself again for each such association, and asks only once.
TEST_F(ProfileSimTest, WhenTheArrayDoesNotNameItsClassesTheSystemsListIsReadAgain) {
    SimArray array("127.102.0.5");
    std::shared_ptr<ProfileTestService<FunctionalGrouping_VolumeList>> service;
    bool joined = false;
    array.control().failNextCalls("EnumerateClassNames", 1, 7);
    ASSERT_NO_FATAL_FAILURE(makeVolumeSeenByTheSystemsList(array, "first", service, joined));
    ASSERT_TRUE(joined);
    // The volume's own link needs no question; its target's link asks, and is refused.
    ASSERT_TRUE(eventually([&] { return array.control().requestCount("EnumerateClassNames") == 1; }));
    array.control().resetRequestCounts();
    std::vector<cim::CIMObject> volumes;
    ASSERT_EQ(service->profile().Get_Volumes_List(volumes).getCode(), R::UA_S_OK);
    const std::size_t before = volumes.size();
    std::string volumeId;
    ASSERT_EQ(array.control().addVolume("second", 1ull << 30, volumeId), Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] {
        service->profile().Get_Volumes_List(volumes);
        return volumes.size() == before + 1;
    }));
    // The volume's own link needs no question; its target's link, after it, reads the list.
    EXPECT_TRUE(eventually([&] { return array.control().requestCount("Associators") > 0u; }));
    EXPECT_EQ(array.control().requestCount("EnumerateClassNames"), 0u);
}

// A handle is offered only what names its data: a large array has a thousand volume
// handles, and each volume made announces a dozen objects and links that name none of them.
TEST_F(ProfileSimTest, AnIndicationIsOfferedOnlyToTheHandlesWhoseDataItNames) {
    SimArray array("127.102.0.6");
    connect(array);
    const auto volumes = client().enumerateInstanceNames(kNamespace, "CIM_StorageVolume");
    ASSERT_GE(volumes.size(), 2u);
    auto renamed = serviceOn<Profile_BlockServices_Volume>(volumes[0]);
    auto bystander = serviceOn<Profile_BlockServices_Volume>(volumes[1]);
    std::string name;
    std::vector<cim::CIMObject> targets;
    for (const auto& handle : {renamed, bystander}) {
        ASSERT_EQ(handle->profile().Get_Volume_ElementName(name).getCode(), R::UA_S_OK);
        ASSERT_EQ(handle->profile().Get_Targets_List(targets).getCode(), R::UA_S_OK);
    }
    // Indications are applied in order: a rename marks the point by which a new volume's were.
    const std::string renamedId = volumes[0].findKeyBinding("DeviceID")->getValue();
    auto addVolumeAndWait = [&](const std::string& volumeName) {
        std::string volumeId;
        ASSERT_EQ(array.control().addVolume(volumeName, 1ull << 30, volumeId), Sim::ControlResult::Ok);
        ASSERT_EQ(array.control().renameVolume(renamedId, "after-" + volumeName), Sim::ControlResult::Ok);
        ASSERT_TRUE(eventually([&] {
            renamed->profile().Get_Volume_ElementName(name);
            return name == "after-" + volumeName;
        }));
    };
    // Until the first link is announced, a new object could join any list without one.
    ASSERT_NO_FATAL_FAILURE(addVolumeAndWait("first"));
    const std::uint64_t offeredBefore = bystander->GetIndicationsOffered();
    ASSERT_NO_FATAL_FAILURE(addVolumeAndWait("second"));
    EXPECT_GT(renamed->GetIndicationsOffered(), 0u);
    EXPECT_EQ(bystander->GetIndicationsOffered(), offeredBefore);
}

// What a handle holds is worked out again when one of its lists is read: a list first read
// after the handle last heard from the array still follows its entries.
TEST_F(ProfileSimTest, AListReadAfterItsHandleLastHeardFromTheArrayStillFollowsItsEntries) {
    SimArray array("127.102.0.7");
    connect(array);
    const auto volumes = client().enumerateInstanceNames(kNamespace, "CIM_StorageVolume");
    ASSERT_FALSE(volumes.empty());
    auto handle = serviceOn<Profile_BlockServices_Volume>(volumes[0]);
    std::string name;
    ASSERT_EQ(handle->profile().Get_Volume_ElementName(name).getCode(), R::UA_S_OK);
    const std::string volumeId = volumes[0].findKeyBinding("DeviceID")->getValue();
    ASSERT_EQ(array.control().renameVolume(volumeId, "heard"), Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] {
        handle->profile().Get_Volume_ElementName(name);
        return name == "heard";
    }));

    std::vector<cim::CIMObject> targets;
    ASSERT_EQ(handle->profile().Get_Targets_List(targets).getCode(), R::UA_S_OK);
    ASSERT_EQ(targets.size(), 1u);
    auto target = serviceOn<FunctionalGrouping_iSCSITarget>(targets.front().getPath());
    ASSERT_EQ(target->profile().Get_ProtolcolController_ElementName(name).getCode(), R::UA_S_OK);
    array.control().resetRequestCounts();
    ASSERT_EQ(target->profile().Set_ProtolcolController_ElementName("renamed-target").getCode(),
              R::UA_S_OK);
    EXPECT_TRUE(eventually([&] {
        handle->profile().Get_Targets_List(targets);
        return targets.size() == 1 && stringOf(targets.front(), "ElementName") == "renamed-target";
    }));
    EXPECT_EQ(array.control().requestCount("Associators"), 0u)
        << "the entry was read again instead of taken from the indication";
}

// An array that announces only the objects, not the associations that link them: a new
// object must still reach the lists walked from another object, and a deleted one leave
// them, in a list long enough to be searched by its entries' hashes.
TEST_F(ProfileSimTest, WithoutAssociationIndicationsALongListFollowsAVolumeMadeAndDeleted) {
    auto options = simOptions("127.102.0.2");
    options.array.volumes = 70;
    SimArray array(std::move(options));
    array.control().setAssociationIndications(false);
    connect(array);
    auto service = serviceOn<FunctionalGrouping_VolumeList>(top());
    std::vector<cim::CIMObject> volumes;
    ASSERT_EQ(service->profile().Get_Volumes_List(volumes).getCode(), R::UA_S_OK);
    const std::size_t before = volumes.size();
    ASSERT_GE(before, 64u);
    std::string volumeId;
    ASSERT_EQ(array.control().addVolume("unlinked", 1ull << 30, volumeId), Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] {
        service->profile().Get_Volumes_List(volumes);
        return volumes.size() == before + 1;
    }));
    ASSERT_EQ(array.control().removeVolume(volumeId), Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] {
        service->profile().Get_Volumes_List(volumes);
        return volumes.size() == before;
    }));
}

} // namespace
} // namespace Merrow::UserAgent
