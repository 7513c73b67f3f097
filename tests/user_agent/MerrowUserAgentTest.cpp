#include "user_agent/root/MerrowUserAgent.h"
#include "cim/http/CIMTransportExceptions.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/indications/MerrowServiceWeakRef.h"

#include "IndicationPoster.h"
#include "UATestDoubles.h"

#include <gtest/gtest.h>

#include <set>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;
using I = UAIndication;

// Long enough for any machine under load; only reached when a test is about to fail.
constexpr std::uint32_t kPatienceMs = 20000;

MerrowUserAgentPeriods shortPeriods() {
    MerrowUserAgentPeriods periods;
    periods.keepAliveIdle = std::chrono::milliseconds(200);
    periods.keepAlivePoll = std::chrono::milliseconds(20);
    periods.dispatcherWait = std::chrono::milliseconds(50);
    return periods;
}

TEST(MerrowUserAgentTest, OneConnectionPerExactHostText) {
    MerrowUserAgent root;
    CorvaneConnection first = root.GetConnection("array-a");
    CorvaneConnection again = root.GetConnection("array-a");
    CorvaneConnection otherCase = root.GetConnection("ARRAY-A");
    EXPECT_TRUE(first.IsSameService(again));
    EXPECT_FALSE(first.IsSameService(otherCase));
    EXPECT_EQ(otherCase.GetHost(), "ARRAY-A");
    std::int32_t state = -1;
    EXPECT_EQ(first.GetConnectionState(state).getCode(), R::UA_S_OK);
    EXPECT_EQ(state, UACIMClient::STATE_NOT_CONNECTED);
    const auto snapshot = root.GetImpl().SnapshotConnections();
    ASSERT_EQ(snapshot.size(), 2u);
    EXPECT_TRUE(snapshot[0].IsSameService(first));
}

TEST(MerrowUserAgentTest, StartsStopsAndStartsAgain) {
    MerrowUserAgent root;
    EXPECT_TRUE(root.GetImpl().IsStopped());
    EXPECT_EQ(root.GetImpl().GetListenerPort(), 0);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(root.Start().getCode(), R::UA_S_OK);
        EXPECT_EQ(root.Start().getCode(), R::UA_S_OK);
        EXPECT_FALSE(root.GetImpl().IsStopped());
        EXPECT_NE(root.GetImpl().GetListenerPort(), 0);
        root.Stop();
        root.Stop();
        EXPECT_TRUE(root.GetImpl().IsStopped());
        EXPECT_EQ(root.GetImpl().GetListenerPort(), 0);
    }
}

TEST(MerrowUserAgentTest, DestructionStopsARunningRoot) {
    std::uint16_t port = 0;
    {
        MerrowUserAgent root;
        ASSERT_EQ(root.Start().getCode(), R::UA_S_OK);
        port = root.GetImpl().GetListenerPort();
        ASSERT_NE(port, 0);
        IndicationPoster reachable(port);
    }
    // The listener went with the root: an array posting to it is refused.
    EXPECT_THROW(IndicationPoster poster(port), cim::CIMCannotConnectException);
}

TEST(MerrowUserAgentTest, HandlesOutliveTheRoot) {
    CorvaneConnection survivor;
    {
        MerrowUserAgent root;
        root.Start();
        survivor = root.GetConnection("127.77.0.254");
    }
    // Nothing listens there: the failure is reported without touching the gone root.
    EXPECT_TRUE(survivor.Connect("user", "password").isFailure());
    std::int32_t state = -1;
    survivor.GetConnectionState(state);
    EXPECT_EQ(state, UACIMClient::STATE_NOT_REACHABLE);
}

TEST(MerrowUserAgentTest, ServiceIndicationsAreQueuedOnlyOnceSomebodyWaits) {
    MerrowUserAgent root;
    auto& impl = root.GetImpl();
    ServiceIndication taken;
    const ServiceIndication early(MerrowService(), ServiceIndication::ServiceRemoved, R(), I());
    impl.QueueServiceIndication(early);
    EXPECT_FALSE(root.GetNextServiceIndication(taken, 0));
    impl.QueueServiceIndication(ServiceIndication(
        MerrowService(), ServiceIndication::ServiceChanged, R(R::UA_E_FAIL), I()));
    ASSERT_TRUE(root.GetNextServiceIndication(taken, 0));
    EXPECT_EQ(taken.GetReturnValue().getCode(), R::UA_E_FAIL);
}

TEST(MerrowUserAgentTest, FullIndicationQueueDropsArrayIndicationsButKeepsLostConnections) {
    MerrowUserAgentPeriods periods;
    periods.queuedIndicationLimit = 3;
    MerrowUserAgent root(false, periods);  // not started: nothing takes from the queue
    auto& impl = root.GetImpl();
    for (int i = 0; i < 5; ++i)
        impl.OnIndicationReceived(makeIndication("array-a", "CIM_InstCreation", "a" + std::to_string(i)));
    impl.OnIndicationReceived(makeIndication("array-b", "CIM_InstCreation", "b"));
    impl.OnIndicationReceived(I::makeLostConnection("array-b", "Connection lost"));
    EXPECT_EQ(impl.GetQueuedIndicationCount(), 4u);
    EXPECT_EQ(impl.GetDroppedIndicationCount(), 3u);
}

class MerrowUserAgentRoutingTest : public ::testing::Test {
protected:
    explicit MerrowUserAgentRoutingTest(MerrowUserAgentPeriods periods = shortPeriods())
        : m_root(false, periods) {}

    void SetUp() override {
        ASSERT_EQ(m_root.Start().getCode(), R::UA_S_OK);
        // The poster stands in for arrays that subscribed from the loopback address.
        m_root.GetImpl().AllowIndicationSender("127.0.0.1");
        ServiceIndication none;
        m_root.GetNextServiceIndication(none, 0);
    }

    std::shared_ptr<TestService> serviceOn(const std::string& host, std::int32_t type,
                                           const char* className) {
        CorvaneConnection connection = m_root.GetConnection(host);
        auto service =
            std::make_shared<TestService>(CorvaneConnectionWeakRef(connection), profiles(R()));
        connection.GetConnectionImpl()->AddIndicationConsumer(type, className,
                                                              MerrowServiceWeakRef(service));
        return service;
    }

    ServiceIndication next() {
        ServiceIndication indication;
        EXPECT_TRUE(m_root.GetNextServiceIndication(indication, kPatienceMs));
        return indication;
    }

    MerrowUserAgent m_root;
};

// No room at all: every indication of an array only makes its services read it again.
class MerrowUserAgentFullQueueTest : public MerrowUserAgentRoutingTest {
protected:
    MerrowUserAgentFullQueueTest() : MerrowUserAgentRoutingTest(noQueue()) {}
    static MerrowUserAgentPeriods noQueue() {
        MerrowUserAgentPeriods periods = shortPeriods();
        periods.queuedIndicationLimit = 0;
        return periods;
    }
};

TEST_F(MerrowUserAgentRoutingTest, PostedIndicationReachesTheServiceOfItsHost) {
    auto serviceA = serviceOn("array-a", I::CIMIndicationType_Creation, "CIM_StorageVolume");
    auto serviceB = serviceOn("array-b", I::CIMIndicationType_Creation, "CIM_StorageVolume");
    IndicationPoster poster(m_root.GetImpl().GetListenerPort());

    // Unknown hosts are dropped; the dispatcher keeps the order of arrival.
    ASSERT_TRUE(
        poster.post("array-c", makeIndicationInstance("CIM_InstCreation", makeVolume("c"))));
    ASSERT_TRUE(
        poster.post("array-b", makeIndicationInstance("CIM_InstCreation", makeVolume("b"))));
    ASSERT_TRUE(
        poster.post("array-a", makeIndicationInstance("CIM_InstCreation", makeVolume("a"))));

    const ServiceIndication first = next();
    EXPECT_TRUE(first.GetService().IsSameService(MerrowService(serviceB)));
    EXPECT_EQ(first.GetIndication().GetSourceHost(), "array-b");
    const ServiceIndication second = next();
    EXPECT_TRUE(second.GetService().IsSameService(MerrowService(serviceA)));
    EXPECT_EQ(second.GetIndication().GetSourceObjectPath(), makeVolume("a").getPath());
}

TEST_F(MerrowUserAgentRoutingTest, IndicationWithoutIdentifierIsRefusedAndNeverQueued) {
    auto service = serviceOn("array-a", I::CIMIndicationType_Creation, "CIM_StorageVolume");
    IndicationPoster poster(m_root.GetImpl().GetListenerPort());
    EXPECT_FALSE(poster.post(
        "array-a", makeIndicationInstance("CIM_InstCreation", makeVolume("bad"), nullptr)));
    EXPECT_EQ(m_root.GetImpl().GetListener().GetRejectedCount(), 1u);

    ASSERT_TRUE(
        poster.post("array-a", makeIndicationInstance("CIM_InstCreation", makeVolume("ok"))));
    const ServiceIndication indication = next();
    EXPECT_EQ(indication.GetIndication().GetSourceObjectPath(), makeVolume("ok").getPath());
    EXPECT_EQ(service->profile(0).m_offered.load(), 1);
}

TEST_F(MerrowUserAgentRoutingTest, LostConnectionFromAConnectionIsRoutedBackToIt) {
    auto service = serviceOn("array-a", I::CIMIndicationType_Deletion, "CIM_StorageVolume");
    m_root.GetImpl().OnIndicationReceived(I::makeLostConnection("array-a", "Connection lost"));
    // The dispatcher handles one indication after the other: once this one has come through,
    // the lost connection has reached every service.
    m_root.GetImpl().OnIndicationReceived(makeIndication("array-a", "CIM_InstDeletion", "v1"));
    const ServiceIndication indication = next();
    EXPECT_TRUE(indication.GetService().IsSameService(m_root.GetConnection("array-a")));
    EXPECT_EQ(indication.GetIndication().GetKind(), I::IndicationKind_LostConnection);
    const ServiceIndication after = next();
    EXPECT_TRUE(after.GetService().IsSameService(MerrowService(service)));
    EXPECT_TRUE(service->IsServiceRemoved());
}

TEST_F(MerrowUserAgentFullQueueTest, DroppedIndicationMakesEveryServiceOfItsArrayReadItAgain) {
    auto volumes = serviceOn("array-a", I::CIMIndicationType_Creation, "CIM_StorageVolume");
    auto disks = serviceOn("array-a", I::CIMIndicationType_Modification, "CIM_DiskDrive");
    auto elsewhere = serviceOn("array-b", I::CIMIndicationType_Creation, "CIM_StorageVolume");
    m_root.GetImpl().OnIndicationReceived(makeIndication("array-a", "CIM_InstCreation", "v1"));

    std::set<const void*> changed;
    for (int i = 0; i < 3; ++i) {
        const ServiceIndication indication = next();
        EXPECT_EQ(indication.GetCode(), ServiceIndication::ServiceChanged);
        changed.insert(indication.GetService().GetImpl().get());
    }
    EXPECT_EQ(changed.count(volumes.get()), 1u);
    EXPECT_EQ(changed.count(disks.get()), 1u);
    EXPECT_EQ(volumes->profile(0).m_offered.load(), 0);
    EXPECT_GE(volumes->profile(0).m_refetches.load(), 1);
    EXPECT_GE(disks->profile(0).m_refetches.load(), 1);
    EXPECT_EQ(elsewhere->profile(0).m_refetches.load(), 0);
    EXPECT_EQ(m_root.GetImpl().GetDroppedIndicationCount(), 1u);
}

} // namespace
} // namespace Merrow::UserAgent
