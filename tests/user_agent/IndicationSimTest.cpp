// Indications end to end: subscription objects on the simulated array, delivery to the
// listener, routing to the services of the right connection and key, clean-up at log-off.

#include "cim/client/CIMClient.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/indications/MerrowServiceWeakRef.h"
#include "user_agent/root/MerrowUserAgent.h"

#include "IndicationBuilders.h"
#include "IndicationPoster.h"
#include "ServiceIndicationCollector.h"
#include "SimArray.h"
#include "StartedRootSimTest.h"
#include "UATestDoubles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;
using I = UAIndication;

const cim::CIMNamespaceName kNamespace("root/snia");
constexpr const char* kCreationQuery = "SELECT * FROM CIM_InstCreation";
constexpr const char* kDeletionQuery = "SELECT * FROM CIM_InstDeletion";

// A plain CIM client on the array, to look at and prepare its subscription objects.
class ArrayInspector {
public:
    explicit ArrayInspector(const std::string& address) {
        m_client.connect(address, 5988, kSimUser, kSimPassword);
    }

    // Paths (as text) of every handler, filter and subscription on the array.
    std::set<std::string> listenerObjects() {
        std::set<std::string> paths;
        for (const char* cls :
             {"CIM_IndicationHandlerCIMXML", "CIM_IndicationFilter", "CIM_IndicationSubscription"})
            for (const cim::CIMObjectPath& path : m_client.enumerateInstanceNames(kNamespace, cls))
                paths.insert(path.toString());
        return paths;
    }

    std::vector<cim::CIMInstance> filtersWithQuery(const std::string& query) {
        auto filters = m_client.enumerateInstances(kNamespace, "CIM_IndicationFilter");
        std::erase_if(filters, [&](const cim::CIMInstance& filter) {
            return filter.getPropertyValue("Query").get<std::string>() != query;
        });
        return filters;
    }

    void createFilter(const std::string& name, const std::string& query) {
        cim::CIMInstance filter("CIM_IndicationFilter");
        filter.addProperty({"Name", cim::CIMValue(name)});
        filter.addProperty({"SystemCreationClassName", cim::CIMValue("CIM_ComputerSystem")});
        filter.addProperty({"CreationClassName", cim::CIMValue("CIM_IndicationFilter")});
        filter.addProperty({"SourceNameSpace", cim::CIMValue("root/snia")});
        filter.addProperty({"Query", cim::CIMValue(query)});
        filter.addProperty({"QueryLanguage", cim::CIMValue("WQL")});
        m_client.createInstance(kNamespace, filter);
    }

private:
    cim::CIMClient m_client;
};

// A started root whose services are registered per connection.
class IndicationSimTest : public StartedRootSimTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartedRootSimTest::SetUp());
        ServiceIndication none;
        m_root->GetNextServiceIndication(none, 0);
    }

    // A connection of its own, for tests that watch more than one array.
    CorvaneConnection connectTo(const std::string& address) {
        CorvaneConnection connection = m_root->GetConnection(address);
        EXPECT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
        return connection;
    }

    std::shared_ptr<TestService> serviceFor(CorvaneConnection& connection, std::int32_t type,
                                            const char* className) {
        auto service =
            std::make_shared<TestService>(CorvaneConnectionWeakRef(connection), profiles(R()));
        connection.GetConnectionImpl()->AddIndicationConsumer(type, className,
                                                              MerrowServiceWeakRef(service));
        return service;
    }

    std::vector<ServiceIndication> takeUntilFrom(const std::shared_ptr<TestService>& service) {
        return takeUntil(*m_root, [&](const ServiceIndication& indication) {
            return indication.GetService().IsSameService(MerrowService(service));
        });
    }
};

std::string deviceIdOf(const ServiceIndication& indication) {
    const cim::CIMKeyBinding* key =
        indication.GetIndication().GetSourceObjectPath().findKeyBinding("DeviceID");
    return key ? key->getValue() : std::string();
}

TEST_F(IndicationSimTest, ChangeReachesTheServicesOfItsTypeAndClassOnly) {
    SimArray array("127.77.4.1");
    CorvaneConnection connection = connectTo(array.address());
    auto createdVolumes =
        serviceFor(connection, I::CIMIndicationType_Creation, "CIM_StorageVolume");
    auto deletedVolumes =
        serviceFor(connection, I::CIMIndicationType_Deletion, "CIM_StorageVolume");
    auto createdDisks = serviceFor(connection, I::CIMIndicationType_Creation, "CIM_DiskDrive");
    const std::pair<std::shared_ptr<TestService>, std::pair<std::int32_t, const char*>> keys[] = {
        {createdVolumes, {I::CIMIndicationType_Creation, "CIM_StorageVolume"}},
        {deletedVolumes, {I::CIMIndicationType_Deletion, "CIM_StorageVolume"}},
        {createdDisks, {I::CIMIndicationType_Creation, "CIM_DiskDrive"}},
    };
    // Whatever arrives must have come to the service registered for its key.
    auto checkRouting = [&](const std::vector<ServiceIndication>& taken) {
        for (const ServiceIndication& indication : taken) {
            for (const auto& [service, key] : keys) {
                if (!indication.GetService().IsSameService(MerrowService(service)))
                    continue;
                EXPECT_EQ(indication.GetIndication().GetType(), key.first);
                EXPECT_EQ(indication.GetIndication().GetSourceClassName(), key.second);
                EXPECT_EQ(indication.GetIndication().GetSourceHost(), array.address());
            }
        }
    };

    std::string volumeId;
    ASSERT_EQ(array.control().addVolume("created", 1ull << 30, volumeId), Sim::ControlResult::Ok);
    auto taken = takeUntilFrom(createdVolumes);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(deviceIdOf(taken.back()), volumeId);
    ASSERT_TRUE(taken.back().GetIndication().GetSourceInstance().isInstance());
    EXPECT_EQ(taken.back().GetIndication().GetSourceInstance().getInstance().getPropertyValue(
                  "ElementName"),
              cim::CIMValue("created"));
    checkRouting(taken);

    ASSERT_EQ(array.control().removeVolume(volumeId), Sim::ControlResult::Ok);
    taken = takeUntilFrom(deletedVolumes);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(deviceIdOf(taken.back()), volumeId);
    checkRouting(taken);

    const auto disks = array.control().addDisks(1);
    taken = takeUntilFrom(createdDisks);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(deviceIdOf(taken.back()), disks.at(0));
    checkRouting(taken);
}

TEST_F(IndicationSimTest, TwoArraysEachReachOnlyTheirOwnConnection) {
    SimArray arrayA("127.77.4.2");
    SimArray arrayB("127.77.4.3");
    CorvaneConnection connectionA = connectTo(arrayA.address());
    CorvaneConnection connectionB = connectTo(arrayB.address());
    auto serviceA = serviceFor(connectionA, I::CIMIndicationType_Creation, "CIM_StorageVolume");
    auto serviceB = serviceFor(connectionB, I::CIMIndicationType_Creation, "CIM_StorageVolume");

    std::string idA;
    std::string idB;
    ASSERT_EQ(arrayA.control().addVolume("on-a", 1ull << 30, idA), Sim::ControlResult::Ok);
    auto taken = takeUntilFrom(serviceA);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(deviceIdOf(taken.back()), idA);
    ASSERT_EQ(arrayB.control().addVolume("on-b", 1ull << 30, idB), Sim::ControlResult::Ok);
    const auto more = takeUntilFrom(serviceB);
    ASSERT_FALSE(more.empty());
    EXPECT_EQ(deviceIdOf(more.back()), idB);
    taken.insert(taken.end(), more.begin(), more.end());

    for (const ServiceIndication& indication : taken) {
        const bool fromA = indication.GetService().IsSameService(MerrowService(serviceA));
        const bool fromB = indication.GetService().IsSameService(MerrowService(serviceB));
        if (fromA) {
            EXPECT_EQ(indication.GetIndication().GetSourceHost(), arrayA.address());
        }
        if (fromB) {
            EXPECT_EQ(indication.GetIndication().GetSourceHost(), arrayB.address());
        }
    }
    EXPECT_EQ(serviceA->profile(0).m_offered.load(), 1);
    EXPECT_EQ(serviceB->profile(0).m_offered.load(), 1);
}

TEST_F(IndicationSimTest, IndicationWithoutIdentifierIsRefusedAndOthersStillArrive) {
    SimArray array("127.77.4.4");
    CorvaneConnection connection = connectTo(array.address());
    auto service = serviceFor(connection, I::CIMIndicationType_Creation, "CIM_StorageVolume");
    // Forged as the array itself would send it, from its address.
    IndicationPoster poster(m_root->GetImpl().GetListenerPort(), array.address());
    EXPECT_FALSE(
        poster.post(array.address(),
                    makeIndicationInstance("CIM_InstCreation", makeVolume("forged"), nullptr)));
    EXPECT_EQ(m_root->GetImpl().GetListener().GetRejectedCount(), 1u);

    std::string id;
    ASSERT_EQ(array.control().addVolume("real", 1ull << 30, id), Sim::ControlResult::Ok);
    const auto taken = takeUntilFrom(service);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(deviceIdOf(taken.back()), id);
    EXPECT_EQ(service->profile(0).m_offered.load(), 1);
}

TEST_F(IndicationSimTest, ExistingFilterIsReusedAndLogOffRemovesOnlyWhatWasCreated) {
    SimArray array("127.77.4.5");
    ArrayInspector inspector(array.address());
    inspector.createFilter("LeftByAnEarlierRun", kCreationQuery);
    const std::set<std::string> before = inspector.listenerObjects();

    CorvaneConnection connection = connectTo(array.address());
    EXPECT_EQ(inspector.filtersWithQuery(kCreationQuery).size(), 1u);
    EXPECT_EQ(inspector.filtersWithQuery(kDeletionQuery).size(), 1u);
    // One handler, two new filters and three subscriptions.
    EXPECT_EQ(inspector.listenerObjects().size(), before.size() + 6);

    // The reused filter delivers like the others.
    auto service = serviceFor(connection, I::CIMIndicationType_Creation, "CIM_StorageVolume");
    std::string id;
    ASSERT_EQ(array.control().addVolume("through-old-filter", 1ull << 30, id),
              Sim::ControlResult::Ok);
    EXPECT_FALSE(takeUntilFrom(service).empty());

    EXPECT_EQ(connection.Logoff().getCode(), R::UA_S_OK);
    EXPECT_EQ(inspector.listenerObjects(), before);
}

TEST_F(IndicationSimTest, FilterNameTakenByAnotherClientIsSkipped) {
    SimArray array("127.77.4.6");
    ArrayInspector inspector(array.address());
    // Every creation draws the same first number; here another client already holds that
    // name, for a query of its own.
    std::mt19937 generator(5489);
    std::uniform_int_distribution<int> numbers(1, 20000);
    const std::string takenName = "MerrowFilter" + std::to_string(numbers(generator));
    inspector.createFilter(
        takenName, "SELECT * FROM CIM_InstModification WHERE SourceInstance ISA CIM_DiskDrive");
    const std::set<std::string> before = inspector.listenerObjects();

    CorvaneConnection connection = connectTo(array.address());
    std::set<std::string> names;
    for (const char* query : CorvaneConnectionImpl::kIndicationQueries) {
        const auto filters = inspector.filtersWithQuery(query);
        ASSERT_EQ(filters.size(), 1u) << query;
        names.insert(filters[0].getPropertyValue("Name").get<std::string>());
    }
    EXPECT_EQ(names.size(), 3u);
    EXPECT_EQ(names.count(takenName), 0u);

    EXPECT_EQ(connection.Logoff().getCode(), R::UA_S_OK);
    EXPECT_EQ(inspector.listenerObjects(), before);
}

TEST_F(IndicationSimTest, ServiceSubscribedToClassesHearsOnlyThoseClasses) {
    SimArray array("127.77.4.10");
    CorvaneConnection connection = connectTo(array.address());
    auto volumes =
        std::make_shared<TestService>(CorvaneConnectionWeakRef(connection), profiles(R()));
    ASSERT_EQ(volumes->SubscribeToClasses({"CIM_StorageVolume"}).getCode(), R::UA_S_OK);
    auto disks = serviceFor(connection, I::CIMIndicationType_Creation, "CIM_DiskDrive");
    auto fromVolumes = [&](const std::vector<ServiceIndication>& taken) {
        std::vector<UAIndication> heard;
        for (const ServiceIndication& indication : taken) {
            if (indication.GetService().IsSameService(MerrowService(volumes)))
                heard.push_back(indication.GetIndication());
        }
        return heard;
    };

    array.control().addDisks(1);
    auto taken = takeUntilFrom(disks);
    ASSERT_FALSE(taken.empty());
    EXPECT_TRUE(fromVolumes(taken).empty());

    std::string id;
    ASSERT_EQ(array.control().addVolume("subscribed", 1ull << 30, id), Sim::ControlResult::Ok);
    taken = takeUntilFrom(volumes);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(taken.back().GetIndication().GetType(), I::CIMIndicationType_Creation);
    EXPECT_EQ(deviceIdOf(taken.back()), id);
    for (const UAIndication& heard : fromVolumes(taken))
        EXPECT_EQ(heard.GetSourceClassName(), "CIM_StorageVolume");

    ASSERT_EQ(array.control().removeVolume(id), Sim::ControlResult::Ok);
    taken = takeUntilFrom(volumes);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(taken.back().GetIndication().GetType(), I::CIMIndicationType_Deletion);
    EXPECT_EQ(deviceIdOf(taken.back()), id);
    for (const UAIndication& heard : fromVolumes(taken))
        EXPECT_EQ(heard.GetSourceClassName(), "CIM_StorageVolume");
}

// A fail-over ends the link without a log-off, so the handler, filters and subscriptions stay
// on the array; the next log-in must take them over instead of failing on them.
TEST_F(IndicationSimTest, LogInAfterAFailoverTakesOverWhatTheArrayKept) {
    SimArray array("127.77.4.8", "91.0.0.0");
    ArrayInspector inspector(array.address());
    CorvaneConnection connection = connectTo(array.address());
    const std::set<std::string> subscribed = inspector.listenerObjects();
    CorvaneConnectionImpl& impl = *connection.GetConnectionImpl();
    ASSERT_EQ(impl.Ping().getCode(), R::UA_S_OK);
    array.control().failover();
    ASSERT_EQ(impl.Ping().getCode(), R::UA_E_NOTCONNECTED);
    ASSERT_EQ(inspector.listenerObjects(), subscribed);

    ASSERT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
    EXPECT_EQ(inspector.listenerObjects(), subscribed);
    auto service = serviceFor(connection, I::CIMIndicationType_Creation, "CIM_StorageVolume");
    std::string id;
    ASSERT_EQ(array.control().addVolume("after-failover", 1ull << 30, id), Sim::ControlResult::Ok);
    const auto taken = takeUntilFrom(service);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(deviceIdOf(taken.back()), id);
}

// An array reset while the link was down holds none of the handler, filters and
// subscriptions made before; the reconnect makes them again, and they are ours to remove.
TEST_F(IndicationSimTest, ReconnectToAResetArrayMakesItsSubscriptionObjectsAgain) {
    auto array = std::make_unique<SimArray>("127.77.4.11");
    CorvaneConnection connection = connectTo(array->address());
    CorvaneConnectionImpl& impl = *connection.GetConnectionImpl();
    array.reset();
    // The probe finds the link gone (and raises the transport failure to its caller).
    EXPECT_ANY_THROW(impl.Ping());

    array = std::make_unique<SimArray>("127.77.4.11");
    ArrayInspector inspector(array->address());
    ASSERT_TRUE(inspector.listenerObjects().empty());
    ASSERT_EQ(connection.Reconnect(array->address()).getCode(), R::UA_S_OK);
    // One handler, three filters and three subscriptions.
    EXPECT_EQ(inspector.listenerObjects().size(), 7u);
    auto service = serviceFor(connection, I::CIMIndicationType_Creation, "CIM_StorageVolume");
    std::string id;
    ASSERT_EQ(array->control().addVolume("after-the-reset", 1ull << 30, id),
              Sim::ControlResult::Ok);
    const auto taken = takeUntilFrom(service);
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(deviceIdOf(taken.back()), id);

    EXPECT_EQ(connection.Logoff().getCode(), R::UA_S_OK);
    EXPECT_TRUE(inspector.listenerObjects().empty());
}

TEST_F(IndicationSimTest, NoIndicationsOptionCreatesNothingOnTheArray) {
    SimArray array("127.77.4.7");
    ArrayInspector inspector(array.address());
    const std::set<std::string> before = inspector.listenerObjects();
    MerrowUserAgent quiet(true);
    quiet.Start();
    CorvaneConnection connection = quiet.GetConnection(array.address());
    ASSERT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
    EXPECT_EQ(inspector.listenerObjects(), before);
}

// A listener that did not start has reported that itself; the array is still usable.
TEST(IndicationListenerSimTest, LogInWithoutARunningListenerConnectsWithoutSubscribing) {
    SimArray array("127.77.4.9");
    ArrayInspector inspector(array.address());
    const std::set<std::string> before = inspector.listenerObjects();
    FakeOwner owner; // its listener port is 0: not running
    auto connection = CorvaneConnectionImpl::Create(&owner, array.address());
    EXPECT_EQ(connection->Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
    EXPECT_EQ(connection->GetConnectionState(), UACIMClient::STATE_CONNECTED);
    EXPECT_EQ(inspector.listenerObjects(), before);
}

} // namespace
} // namespace Merrow::UserAgent
