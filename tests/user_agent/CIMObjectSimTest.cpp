// The cached CIM containers and typed wrappers against the simulated array: when they ask the
// array, what they keep, how indications and invalidations change them, and the Exec pattern.

#include "user_agent/base/MWExceptions.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/objects/CIM_ContainerRegistry.h"
#include "user_agent/objects/CIM_ObjectList.h"
#include "user_agent/objects/CIM_ObjectPathList.h"
#include "user_agent/objects/CIM_ObjectSubclasses.h"

#include "IndicationBuilders.h"
#include "SimArray.h"
#include "UATestDoubles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <string>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using Spec = CIM_AssociationSpecList;

constexpr std::uint32_t kJobStarted = 4096;

// A logged-in connection whose owner decides whether indications are on (cached data then
// stays until told otherwise) or off (cached data expires by age).
class CIMObjectSimTest : public ::testing::Test {
protected:
    // Each test has an array on an address of its own, so that tests can run side by side.
    void start(const char* address) {
        m_array = std::make_unique<SimArray>(address);
        m_owner.m_noIndications = true; // no subscriptions on the array for these tests
        m_connection = CorvaneConnectionImpl::Create(&m_owner, m_array->address());
        ASSERT_EQ(m_connection->Connect(kSimUser, kSimPassword).getCode(),
                  MerrowReturnValue::UA_S_OK);
        ASSERT_EQ(m_connection->GetTopComputerSystem(m_top).getCode(), MerrowReturnValue::UA_S_OK);
        setIndications(true);
        control().resetRequestCounts();
    }
    void TearDown() override { CIM_ObjectContainerInterface::SetExpiryLimit(kDefaultExpiry); }

    void setIndications(bool on) { m_owner.m_noIndications = !on; }
    Sim::SimulatorControl& control() { return m_array->control(); }
    std::uint64_t requests(const char* operation) { return control().requestCount(operation); }
    template <typename Container> Container& connect(Container& container) {
        container.SetConnection(CorvaneConnectionWeakRef(m_connection));
        return container;
    }

    // A volume made through the array's own controls, and its path as the array names it.
    cim::CIMInstance addVolume(const std::string& name) {
        std::string deviceId;
        control().addVolume(name, 1'000'000'000, deviceId);
        for (cim::CIMInstance& volume :
             m_connection->enumerateInstances(UACIMClient::kArrayNamespace, "CIM_StorageVolume"))
            if (volume.getPropertyValue("DeviceID").get<std::string>() == deviceId)
                return volume;
        ADD_FAILURE() << "volume " << name << " not found";
        return {};
    }

    // Reads the volume, then renames it on the array to "first" and to "second" through the
    // volume; the instance as it was between the two writes.
    cim::CIMInstance renameTwice(CIM_StorageVolume& volume) {
        std::string name;
        EXPECT_TRUE(volume.GetPropertyValue("ElementName", name));
        EXPECT_TRUE(volume.SetPropertyValue("ElementName", std::string("first")));
        volume.UpdateCimServerWithProperty("ElementName");
        cim::CIMInstance afterFirst = volume.GetCachedInstance();
        EXPECT_TRUE(volume.SetPropertyValue("ElementName", std::string("second")));
        volume.UpdateCimServerWithProperty("ElementName");
        return afterFirst;
    }

    // The simulated array starts with a few volumes.
    void removeAllVolumes() {
        for (const cim::CIMInstance& volume :
             m_connection->enumerateInstances(UACIMClient::kArrayNamespace, "CIM_StorageVolume"))
            control().removeVolume(volume.getPropertyValue("DeviceID").get<std::string>());
        control().resetRequestCounts();
    }

    static constexpr std::chrono::milliseconds kDefaultExpiry{5000};
    std::unique_ptr<SimArray> m_array;
    FakeOwner m_owner;
    std::shared_ptr<CorvaneConnectionImpl> m_connection;
    cim::CIMObjectPath m_top;
};

// ---- when the array is asked --------------------------------------------------------------

TEST_F(CIMObjectSimTest, FetchesOnFirstReadAndAgainOnlyWhenInvalidatedOrForced) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.2"));
    CIM_ComputerSystem system(nullptr, m_top, {});
    connect(system);
    std::string name;
    ASSERT_TRUE(system.GetPropertyValue("Name", name));
    ASSERT_TRUE(system.GetPropertyValue("ElementName", name));
    EXPECT_EQ(requests("GetInstance"), 1u);
    EXPECT_TRUE(system.IsDataValid());

    const cim::CIMObjectPath otherSystem(
        "", "root/snia", "CIM_ComputerSystem",
        {cim::CIMKeyBinding("Name", "elsewhere", cim::CIMKeyBinding::Type::String)});
    EXPECT_EQ(CIM_ObjectContainerInterface::InvalidateCacheForObjectPath(otherSystem), 0u);
    system.GetPropertyValue("Name", name);
    EXPECT_EQ(requests("GetInstance"), 1u);

    EXPECT_GE(CIM_ObjectContainerInterface::InvalidateCacheForClassname("CIM_ComputerSystem"), 1u);
    EXPECT_FALSE(system.IsDataValid());
    system.GetPropertyValue("Name", name);
    EXPECT_EQ(requests("GetInstance"), 2u);

    cim::CIMObjectPath held = system.GetCIMObjectPath();
    held.setHost("another.host"); // host and namespace never cause a mismatch
    EXPECT_EQ(CIM_ObjectContainerInterface::InvalidateCacheForObjectPath(held), 1u);
    system.GetPropertyValue("Name", name);
    EXPECT_EQ(requests("GetInstance"), 3u);

    system.FetchData(true);
    EXPECT_EQ(requests("GetInstance"), 4u);
}

TEST_F(CIMObjectSimTest, DataExpiresByAgeOnlyWhenIndicationsAreOff) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.3"));
    CIM_ObjectContainerInterface::SetExpiryLimit(std::chrono::milliseconds(0));
    CIM_ComputerSystem system(nullptr, m_top, {});
    CIM_ObjectList pools(nullptr, "CIM_StoragePool");
    connect(system);
    connect(pools);
    std::string name;
    system.GetPropertyValue("Name", name);
    system.GetPropertyValue("Name", name);
    pools.GetObjects();
    pools.GetObjects();
    EXPECT_EQ(requests("GetInstance"), 1u) << "indications on: old data is still good";
    EXPECT_EQ(requests("EnumerateInstances"), 1u);
    EXPECT_TRUE(system.IsDataValid());

    setIndications(false);
    EXPECT_FALSE(system.IsDataValid());
    system.GetPropertyValue("Name", name);
    pools.GetObjects();
    EXPECT_EQ(requests("GetInstance"), 2u);
    EXPECT_EQ(requests("EnumerateInstances"), 2u);

    CIM_ObjectContainerInterface::SetExpiryLimit(std::chrono::hours(1));
    system.GetPropertyValue("Name", name);
    pools.GetObjects();
    EXPECT_EQ(requests("GetInstance"), 2u) << "young data is served from the cache";
    EXPECT_EQ(requests("EnumerateInstances"), 2u);
}

TEST_F(CIMObjectSimTest, WithoutAConnectionNothingIsFetched) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.4"));
    CIM_ComputerSystem system(nullptr, m_top, {});
    std::string name;
    EXPECT_FALSE(system.GetPropertyValue("Name", name));
    EXPECT_FALSE(system.IsDataValid());
    EXPECT_TRUE(system.GetCIMObjectPath().isNull());
    EXPECT_EQ(requests("GetInstance"), 0u);
}

// ---- association walks and enumerations -------------------------------------------------

TEST_F(CIMObjectSimTest, TwoObjectsWhereOneIsExpectedThrow) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.5"));
    CIM_ComputerSystem controller(nullptr, m_top, Spec{{"CIM_ComponentCS", "CIM_ComputerSystem"}});
    connect(controller);
    try {
        controller.FetchData(false);
        FAIL() << "two controllers were accepted as one";
    } catch (const MWEPegasusClientRequest& e) {
        EXPECT_NE(e.getMessage().find("Too many objects returned in CIM_Object - count=2"),
                  std::string::npos)
            << e.getMessage();
    }
    EXPECT_EQ(requests("Associators"), 1u);
}

TEST_F(CIMObjectSimTest, WalksUseNamesForEveryStepButTheLastAndZeroObjectsMeanNotFound) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.6"));
    const Spec toPools{{"CIM_HostedStoragePool", "CIM_StoragePool"}};
    CIM_ObjectPathList poolPaths(nullptr, m_top, toPools);
    connect(poolPaths);
    const std::size_t pools = poolPaths.GetObjectPaths().size();
    ASSERT_GE(pools, 1u);
    EXPECT_EQ(requests("AssociatorNames"), 1u);
    EXPECT_EQ(requests("Associators"), 0u);

    removeAllVolumes();
    Spec toVolume = toPools;
    toVolume.push_back({"CIM_AllocatedFromStoragePool", "CIM_StorageVolume"});
    CIM_StorageVolume volume(nullptr, m_top, toVolume);
    connect(volume);
    std::string name;
    EXPECT_FALSE(volume.GetPropertyValue("ElementName", name)) << "the array has no volumes";
    EXPECT_TRUE(volume.IsNotFound());
    EXPECT_FALSE(volume.IsDataValid());
    EXPECT_EQ(requests("AssociatorNames"), 1u);
    EXPECT_EQ(requests("Associators"), pools);

    addVolume("walked");
    volume.FetchData(true);
    EXPECT_FALSE(volume.IsNotFound());
    EXPECT_TRUE(volume.GetPropertyValue("ElementName", name));
    EXPECT_EQ(name, "walked");
}

TEST_F(CIMObjectSimTest, SourceContainerAnchorsFollowTheSourcesPath) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.7"));
    CIM_ComputerSystem system(nullptr, CIM_ComputerSystem(nullptr, m_top, {}).GetAnchorPath(), {});
    connect(system);
    CIM_ObjectList pools(nullptr, system, Spec{{"CIM_HostedStoragePool", "CIM_StoragePool"}});
    connect(pools);
    EXPECT_FALSE(pools.GetObjects().empty());
    EXPECT_EQ(pools.GetCIMObjectPath(), m_top);
}

TEST_F(CIMObjectSimTest, EnumerationsWithoutInstancesAreValidEmptyLists) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.8"));
    CIM_ObjectList sessions(nullptr, "CIM_iSCSISession");
    connect(sessions);
    EXPECT_TRUE(sessions.GetObjects().empty());
    EXPECT_TRUE(sessions.GetObjects().empty());
    EXPECT_EQ(requests("EnumerateInstances"), 1u) << "an empty answer is cached like any other";

    CIM_iSCSISession onlySession(nullptr);
    connect(onlySession);
    onlySession.FetchData(false);
    EXPECT_TRUE(onlySession.IsNotFound());

    CIM_StorageVolume onlyVolume(nullptr);
    connect(onlyVolume);
    EXPECT_THROW(onlyVolume.FetchData(false), MWEPegasusClientRequest) << "the array has volumes";
}

// ---- indications --------------------------------------------------------------------------

TEST_F(CIMObjectSimTest, ListsFollowCreationsDeletionsAndModifications) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.9"));
    CIM_ObjectList volumes(nullptr, "CIM_StorageVolume");
    CIM_ObjectPathList volumePaths(nullptr, "CIM_StorageVolume");
    connect(volumes);
    connect(volumePaths);
    volumes.GetObjects();
    volumePaths.GetObjectPaths();

    cim::CIMInstance created = addVolume("first");
    const UAIndication creation(m_array->address(),
                                makeIndicationInstance("CIM_InstCreation", created));
    EXPECT_EQ(volumes.UpdateObjectContainerWithIndication(creation), 1u);
    EXPECT_EQ(volumePaths.UpdateObjectContainerWithIndication(creation), 1u);
    EXPECT_TRUE(volumes.HoldsPath(created.getPath()));
    EXPECT_EQ(volumes.UpdateObjectContainerWithIndication(creation), 0u) << "already held";

    created.setPropertyValue("ElementName", cim::CIMValue("renamed"));
    const UAIndication change(m_array->address(),
                              makeIndicationInstance("CIM_InstModification", created));
    const std::uint64_t enumerations = requests("EnumerateInstances");
    EXPECT_EQ(volumes.UpdateObjectContainerWithIndication(change), 1u);
    const auto held = volumes.GetObjects();
    const auto renamed = std::find_if(held.begin(), held.end(), [&](const cim::CIMObject& volume) {
        return volume.getPath() == created.getPath();
    });
    ASSERT_NE(renamed, held.end());
    EXPECT_EQ(renamed->getInstance().getPropertyValue("ElementName"), cim::CIMValue("renamed"));
    EXPECT_EQ(requests("EnumerateInstances"), enumerations);

    const UAIndication deletion(m_array->address(),
                                makeIndicationInstance("CIM_InstDeletion", created));
    EXPECT_EQ(volumes.UpdateObjectContainerWithIndication(deletion), 1u);
    EXPECT_EQ(volumePaths.UpdateObjectContainerWithIndication(deletion), 1u);
    EXPECT_FALSE(volumes.HoldsPath(created.getPath()));
    EXPECT_FALSE(volumePaths.HoldsPath(created.getPath()));
    EXPECT_EQ(volumes.GetObjects().size(), held.size() - 1);

    const UAIndication otherClass =
        makeIndication(m_array->address(), "CIM_InstCreation", "unrelated");
    CIM_ObjectList pools(nullptr, "CIM_StoragePool");
    connect(pools);
    pools.GetObjects();
    EXPECT_EQ(pools.UpdateObjectContainerWithIndication(otherClass), 0u);
}

// Every volume handle has lists nobody may ever read; a creation on the array must not make
// each of them ask the array.
TEST_F(CIMObjectSimTest, AListNobodyReadIsNotReadForACreation) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.15"));
    CIM_ObjectList volumes(nullptr, "CIM_StorageVolume");
    connect(volumes);
    const cim::CIMInstance created = addVolume("unread");
    const std::uint64_t enumerations = requests("EnumerateInstances");
    EXPECT_EQ(volumes.UpdateObjectContainerWithIndication(UAIndication(
                  m_array->address(), makeIndicationInstance("CIM_InstCreation", created))),
              0u);
    EXPECT_EQ(requests("EnumerateInstances"), enumerations);
    const auto held = volumes.GetObjects();
    EXPECT_TRUE(std::any_of(held.begin(), held.end(), [&](const cim::CIMObject& volume) {
        return volume.getPath() == created.getPath();
    })) << "the first read fetches";
}

TEST_F(CIMObjectSimTest, AnObjectFollowsDeletionAndModificationOfItsOwnPathOnly) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.10"));
    const cim::CIMInstance created = addVolume("watched");
    CIM_StorageVolume volume(nullptr, created.getPath(), {});
    connect(volume);
    std::string name;
    ASSERT_TRUE(volume.GetPropertyValue("ElementName", name));

    const cim::CIMInstance other = addVolume("other");
    EXPECT_EQ(volume.UpdateObjectContainerWithIndication(UAIndication(
                  m_array->address(), makeIndicationInstance("CIM_InstDeletion", other))),
              0u);
    EXPECT_FALSE(volume.IsNotFound());

    cim::CIMInstance changed = created;
    changed.setPropertyValue("ElementName", cim::CIMValue("changed"));
    EXPECT_EQ(volume.UpdateObjectContainerWithIndication(UAIndication(
                  m_array->address(), makeIndicationInstance("CIM_InstModification", changed))),
              1u);
    ASSERT_TRUE(volume.GetPropertyValue("ElementName", name));
    EXPECT_EQ(name, "changed");
    EXPECT_EQ(requests("GetInstance"), 1u) << "the indication carried the new instance";

    EXPECT_EQ(volume.UpdateObjectContainerWithIndication(UAIndication(
                  m_array->address(), makeIndicationInstance("CIM_InstDeletion", created))),
              1u);
    EXPECT_TRUE(volume.IsNotFound());
    EXPECT_FALSE(volume.IsDataValid());
}

// The array sends a change indication for each write; one sent for our first write arrives
// after our second and carries the instance as it was between the two.
TEST_F(CIMObjectSimTest, AnIndicationOlderThanOurOwnWriteDoesNotUndoIt) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.13"));
    const cim::CIMInstance created = addVolume("written");
    CIM_StorageVolume volume(nullptr, created.getPath(), {});
    connect(volume);
    const cim::CIMInstance afterFirst = renameTwice(volume);
    std::string name;

    EXPECT_EQ(volume.UpdateObjectContainerWithIndication(UAIndication(
                  m_array->address(), makeIndicationInstance("CIM_InstModification", afterFirst))),
              1u);
    ASSERT_TRUE(volume.GetPropertyValue("ElementName", name));
    EXPECT_EQ(name, "second");

    // Once read back from the array, indications carry current instances again.
    cim::CIMInstance changed = volume.GetCachedInstance();
    changed.setPropertyValue("ElementName", cim::CIMValue("third"));
    const std::uint64_t reads = requests("GetInstance");
    volume.UpdateObjectContainerWithIndication(
        UAIndication(m_array->address(), makeIndicationInstance("CIM_InstModification", changed)));
    ASSERT_TRUE(volume.GetPropertyValue("ElementName", name));
    EXPECT_EQ(name, "third");
    EXPECT_EQ(requests("GetInstance"), reads);
}

// A change indication can still be on its way while a fresh read already shows what came
// after it: its previous instance then differs from what is held.
TEST_F(CIMObjectSimTest, AChangeOlderThanAFreshReadDoesNotSetItBack) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.14"));
    const cim::CIMInstance original = addVolume("original");
    CIM_StorageVolume volume(nullptr, original.getPath(), {});
    CIM_ObjectList volumes(nullptr, "CIM_StorageVolume");
    connect(volume);
    connect(volumes);
    const cim::CIMInstance afterFirst = renameTwice(volume);
    std::string name;
    volume.FetchData(true);
    volumes.GetObjects();

    auto modification = [&](const cim::CIMInstance& previous, const cim::CIMInstance& source) {
        cim::CIMInstance indication = makeIndicationInstance("CIM_InstModification", source);
        indication.addProperty({"PreviousInstance", cim::CIMValue(cim::CIMObject(previous))});
        return UAIndication(m_array->address(), indication);
    };
    auto listedName = [&] {
        for (const cim::CIMObject& held : volumes.GetObjects())
            if (held.getPath() == original.getPath())
                return held.getInstance().getPropertyValue("ElementName").get<std::string>();
        return std::string("(not listed)");
    };
    const UAIndication late = modification(original, afterFirst);
    const std::uint64_t reads = requests("GetInstance");
    const std::uint64_t enumerations = requests("EnumerateInstances");
    EXPECT_EQ(volume.UpdateObjectContainerWithIndication(late), 1u);
    EXPECT_EQ(volumes.UpdateObjectContainerWithIndication(late), 1u);
    ASSERT_TRUE(volume.GetPropertyValue("ElementName", name));
    EXPECT_EQ(name, "second");
    EXPECT_EQ(listedName(), "second");
    EXPECT_EQ(requests("GetInstance"), reads + 1) << "read again instead";
    EXPECT_EQ(requests("EnumerateInstances"), enumerations + 1);

    // A change that follows on from what is held is taken as it comes.
    cim::CIMInstance third = volume.GetCachedInstance();
    third.setPropertyValue("ElementName", cim::CIMValue("third"));
    const UAIndication next = modification(volume.GetCachedInstance(), third);
    volume.UpdateObjectContainerWithIndication(next);
    volumes.UpdateObjectContainerWithIndication(next);
    ASSERT_TRUE(volume.GetPropertyValue("ElementName", name));
    EXPECT_EQ(name, "third");
    EXPECT_EQ(listedName(), "third");
    EXPECT_EQ(requests("GetInstance"), reads + 1);
    EXPECT_EQ(requests("EnumerateInstances"), enumerations + 1);
}

TEST_F(CIMObjectSimTest, SetCIMInstanceRefusesAnotherClass) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.11"));
    CIM_StorageVolume volume(nullptr);
    EXPECT_THROW(volume.SetCIMInstance(cim::CIMInstance("CIM_StoragePool")),
                 MWEPegasusClientRequest);
    EXPECT_NO_THROW(volume.SetCIMInstance(makeVolume("5")));
    EXPECT_EQ(volume.GetCachedInstance().getPropertyValue("DeviceID"), cim::CIMValue("5"));
}

// ---- extrinsic methods --------------------------------------------------------------------

TEST_F(CIMObjectSimTest, ExecMethodsSendTheirParametersAndCopyOutParameters) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.12"));
    Merrow_StorageConfigurationService service(nullptr);
    connect(service);
    cim::CIMObjectPath pool;
    ASSERT_EQ(service.ExecGetAvailablePool(pool), 0u);
    cim::CIMObjectPath basePool;
    ASSERT_EQ(service.ExecGetBasePool({}, basePool), 0u);
    EXPECT_FALSE(basePool.isNull());

    std::uint64_t size = 1'000'000'000;
    cim::CIMObjectPath created;
    cim::CIMObjectPath job;
    ASSERT_EQ(service.ExecCreateVolume("made", size, 0, 0, 0, basePool, 1, {}, created, job), 0u);
    EXPECT_FALSE(created.isNull());
    EXPECT_GE(size, 1'000'000'000u) << "the array answers the size it allocated";
    EXPECT_TRUE(job.isNull()) << "no job without jobs";

    cim::CIMObjectPath duplicate;
    const std::uint32_t refused =
        service.ExecCreateVolume("made", size, 0, 0, 0, basePool, 1, {}, duplicate, job);
    EXPECT_NE(refused, 0u);
    EXPECT_NE(refused, kJobStarted);
    EXPECT_TRUE(duplicate.isNull());
    EXPECT_EQ(requests("CreateVolume"), 2u);
}

TEST_F(CIMObjectSimTest, ExecMethodsLeaveOutEmptyReferencesAndReportJobs) {
    ASSERT_NO_FATAL_FAILURE(start("127.77.9.13"));
    Merrow_StorageConfigurationService service(nullptr);
    connect(service);
    control().setJobs(true, 60'000);
    // The array refuses an empty pool reference; leaving Goal and InPool out picks the base pool.
    std::uint64_t size = 1'000'000'000;
    cim::CIMObjectPath element;
    cim::CIMObjectPath job;
    EXPECT_EQ(
        service.ExecCreateOrModifyElementFromStoragePool("pooled", 2, {}, size, {}, element, job),
        kJobStarted);
    EXPECT_FALSE(element.isNull());
    EXPECT_EQ(job.getClassName(), cim::CIMName("CIM_ConcreteJob"));
}

// ---- instance ids -------------------------------------------------------------------------

TEST(CIMContainerInstanceIdTest, NeverZeroAcrossTheWrapAround) {
    CIM_ContainerRegistry::Instance().SetLastInstanceIdForTesting(
        std::numeric_limits<std::uint32_t>::max() - 1);
    CIM_StorageVolume last(nullptr);
    CIM_ObjectList wrapped(nullptr, "CIM_StorageVolume");
    CIM_ObjectPathList next(nullptr, "CIM_StorageVolume");
    EXPECT_EQ(last.GetObjectContainerInstanceId(), std::numeric_limits<std::uint32_t>::max());
    EXPECT_EQ(wrapped.GetObjectContainerInstanceId(), 1u);
    EXPECT_EQ(next.GetObjectContainerInstanceId(), 2u);
}

TEST(CIMContainerRegistryTest, ContainersLeaveTheRegistryWhenDestroyed) {
    const std::size_t before = CIM_ContainerRegistry::Instance().CountForClass("CIM_DiskDrive");
    {
        CIM_DiskDrive drive(nullptr);
        CIM_ObjectList drives(nullptr, "CIM_DiskDrive");
        EXPECT_EQ(CIM_ContainerRegistry::Instance().CountForClass("cim_diskdrive"), before + 2);
    }
    EXPECT_EQ(CIM_ContainerRegistry::Instance().CountForClass("CIM_DiskDrive"), before);
}

} // namespace
} // namespace Merrow::UserAgent
