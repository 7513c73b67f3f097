// Log-in outcomes, the firmware rule, probes and lost connections against the simulated array.

#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/indications/MerrowServiceWeakRef.h"
#include "user_agent/root/MerrowUserAgent.h"

#include "IndicationBuilders.h"
#include "ServiceIndicationCollector.h"
#include "SimArray.h"
#include "UATestDoubles.h"

#include <gtest/gtest.h>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;
using I = UAIndication;
using S = UACIMClient;

std::int32_t stateOf(const CorvaneConnection& connection) {
    std::int32_t state = -1;
    connection.GetConnectionState(state);
    return state;
}

// ---- log-in -----------------------------------------------------------------------------

TEST(ConnectionLogInSimTest, SucceedsAndRefusesASecondLogIn) {
    SimArray array("127.77.1.1");
    MerrowUserAgent root(true);
    CorvaneConnection connection = root.GetConnection(array.address());
    EXPECT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
    EXPECT_EQ(stateOf(connection), S::STATE_CONNECTED);

    EXPECT_EQ(connection.Connect(kSimUser, "wrong").getCode(), R::UA_E_FAIL);
    EXPECT_EQ(stateOf(connection), S::STATE_CONNECTED);
    // The first log-in's link still works.
    cim::CIMObjectPath top;
    EXPECT_EQ(connection.GetTopComputerSystem(top).getCode(), R::UA_S_OK);
    EXPECT_EQ(top.getClassName(), cim::CIMName("CIM_ComputerSystem"));

    EXPECT_EQ(connection.Logoff().getCode(), R::UA_S_OK);
    EXPECT_EQ(stateOf(connection), S::STATE_NOT_CONNECTED);
    EXPECT_EQ(connection.Logoff().getCode(), R::UA_E_NOTCONNECTED);
}

TEST(ConnectionLogInSimTest, RefusedCredentialsAreAccessDenied) {
    SimArray array("127.77.1.2");
    MerrowUserAgent root(true);
    CorvaneConnection connection = root.GetConnection(array.address());
    EXPECT_EQ(connection.Connect(kSimUser, "wrong").getCode(), R::UA_E_ACCESSDENIED);
    EXPECT_EQ(stateOf(connection), S::STATE_AUTHORIZATION_FAILED);

    array.control().refuseLogins(true);
    EXPECT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_E_ACCESSDENIED);
    EXPECT_EQ(stateOf(connection), S::STATE_AUTHORIZATION_FAILED);

    array.control().refuseLogins(false);
    EXPECT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
    EXPECT_EQ(stateOf(connection), S::STATE_CONNECTED);
}

TEST(ConnectionLogInSimTest, NothingListeningIsNotReachable) {
    MerrowUserAgent root(true);
    CorvaneConnection connection = root.GetConnection("127.77.1.250");
    EXPECT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_E_FAIL);
    EXPECT_EQ(stateOf(connection), S::STATE_NOT_REACHABLE);
}

TEST(ConnectionLogInSimTest, FirmwareOutsideTheSupportedRangeIsRefused) {
    struct Case {
        const char* firmware;
        bool accepted;
    };
    const Case cases[] = {
        {"2.4.0.0", false}, {"2.4.9.9", false}, {"2.9.0.0", false}, {"0.9.0.0", false},
        {"2.5.0.0", true},  {"2.8.9.9", true},  {"91.0.0.0", true},
    };
    SimArray array("127.77.1.3");
    MerrowUserAgent root(true);
    CorvaneConnection connection = root.GetConnection(array.address());
    for (const Case& c : cases) {
        array.control().setFirmwareVersion(c.firmware);
        const MerrowReturnValue result = connection.Connect(kSimUser, kSimPassword);
        if (c.accepted) {
            EXPECT_EQ(result.getCode(), R::UA_S_OK) << c.firmware;
            EXPECT_EQ(stateOf(connection), S::STATE_CONNECTED) << c.firmware;
            connection.Logoff();
            continue;
        }
        EXPECT_EQ(result.getCode(), R::UA_E_FAIL) << c.firmware;
        EXPECT_EQ(stateOf(connection), S::STATE_FIRMWARE_INCOMPATIBLE) << c.firmware;
    }
    array.control().setFirmwareVersion("2.9.1.0");
    EXPECT_EQ(connection.Connect(kSimUser, kSimPassword).getMessage(),
              "Storage Array has version (2.9.1.0), which is not compatible with the client "
              "version (2.8.2.2)");
}

// An error answer to the firmware read says nothing about the firmware.
TEST(ConnectionLogInSimTest, ErrorWhileReadingTheFirmwareIsNotAFirmwareRefusal) {
    SimArray array("127.77.1.5");
    MerrowUserAgent root(true);
    CorvaneConnection connection = root.GetConnection(array.address());
    array.control().failNextCalls("EnumerateInstances", 1, 1);
    EXPECT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_E_FAIL);
    EXPECT_EQ(stateOf(connection), S::STATE_CONNECTED);
    EXPECT_EQ(connection.Logoff().getCode(), R::UA_S_OK);

    array.control().failNextCalls("EnumerateInstances", 1, 2);
    EXPECT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_E_ACCESSDENIED);
    EXPECT_EQ(stateOf(connection), S::STATE_AUTHORIZATION_FAILED);

    EXPECT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
}

TEST(ConnectionLogInSimTest, TimeoutSetBeforeLogInBoundsLaterRequests) {
    SimArray array("127.77.1.4");
    MerrowUserAgent root(true);
    CorvaneConnection connection = root.GetConnection(array.address());
    EXPECT_EQ(connection.SetTimeout(300).getCode(), R::UA_S_OK);
    ASSERT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
    array.control().setHang(true);
    // Without the time-out this request would never come back.
    cim::CIMObjectPath top;
    EXPECT_EQ(connection.GetTopComputerSystem(top).getCode(), R::UA_E_UNEXPECTED);
    // A slow array is not a lost one: the next request goes through without a new log-in.
    EXPECT_EQ(stateOf(connection), S::STATE_CONNECTED);
    array.control().setHang(false);
    EXPECT_EQ(connection.GetTopComputerSystem(top).getCode(), R::UA_S_OK);
}

// ---- probes -----------------------------------------------------------------------------

TEST(ConnectionProbeSimTest, OlderFirmwareIsProbedThroughTheConfigurationSetting) {
    SimArray array("127.77.2.1", "2.8.2.2");
    MerrowUserAgent root(true);
    CorvaneConnection connection = root.GetConnection(array.address());
    ASSERT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
    array.control().resetRequestCounts();
    EXPECT_EQ(connection.GetConnectionImpl()->Ping().getCode(), R::UA_S_OK);
    EXPECT_EQ(array.control().requestCount("GetInstance"), 1u);
    EXPECT_EQ(array.control().requestCount("EnumerateInstances"), 0u);
}

TEST(ConnectionProbeSimTest, ChangedControllerSlotDisconnects) {
    SimArray array("127.77.2.2", "91.0.0.0");
    MerrowUserAgent root(true);
    CorvaneConnection connection = root.GetConnection(array.address());
    ASSERT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
    CorvaneConnectionImpl& impl = *connection.GetConnectionImpl();

    array.control().resetRequestCounts();
    EXPECT_EQ(impl.Ping().getCode(), R::UA_S_OK);
    EXPECT_EQ(impl.GetActiveSlot(), array.control().activeSlot());
    EXPECT_EQ(impl.Ping().getCode(), R::UA_S_OK);
    EXPECT_EQ(array.control().requestCount("EnumerateInstances"), 2u);

    array.control().failover();
    EXPECT_EQ(impl.Ping().getCode(), R::UA_E_NOTCONNECTED);
    EXPECT_EQ(stateOf(connection), S::STATE_NOT_CONNECTED);
    EXPECT_EQ(impl.GetActiveSlot(), S::kNoSlot);

    // Slot tracking starts again with the next log-in.
    ASSERT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
    EXPECT_EQ(impl.Ping().getCode(), R::UA_S_OK);
    EXPECT_EQ(impl.GetActiveSlot(), array.control().activeSlot());
}

TEST(ConnectionProbeSimTest, KeepAliveProbesASilentConnection) {
    SimArray array("127.77.2.3");
    MerrowUserAgentPeriods periods;
    periods.keepAliveIdle = std::chrono::milliseconds(100);
    periods.keepAlivePoll = std::chrono::milliseconds(10);
    MerrowUserAgent root(true, periods);
    root.Start();
    CorvaneConnection connection = root.GetConnection(array.address());
    ASSERT_EQ(connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
    array.control().resetRequestCounts();
    EXPECT_TRUE(eventually([&] { return array.control().requestCount("GetInstance") >= 2; }));
    EXPECT_EQ(stateOf(connection), S::STATE_CONNECTED);
    // Stop waits for a probe under way, then nothing probes any more.
    root.Stop();
    const auto probes = array.control().requestCount("GetInstance");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(array.control().requestCount("GetInstance"), probes);
}

// ---- lost connections -------------------------------------------------------------------

class LostConnectionSimTest : public ::testing::Test {
protected:
    void connect(const std::string& address) {
        m_array = std::make_unique<SimArray>(address);
        MerrowUserAgentPeriods periods;
        periods.keepAliveIdle = std::chrono::milliseconds(100);
        periods.keepAlivePoll = std::chrono::milliseconds(10);
        periods.dispatcherWait = std::chrono::milliseconds(50);
        m_root = std::make_unique<MerrowUserAgent>(false, periods);
        ASSERT_EQ(m_root->Start().getCode(), R::UA_S_OK);
        ServiceIndication none;
        m_root->GetNextServiceIndication(none, 0);
        m_connection = m_root->GetConnection(address);
        m_connection.SetTimeout(300);
        ASSERT_EQ(m_connection.Connect(kSimUser, kSimPassword).getCode(), R::UA_S_OK);
        m_service =
            std::make_shared<TestService>(CorvaneConnectionWeakRef(m_connection), profiles(R()));
        m_connection.GetConnectionImpl()->AddIndicationConsumer(
            I::CIMIndicationType_Creation, "CIM_StorageVolume", MerrowServiceWeakRef(m_service));
    }

    // Everything taken from the root until a marker indication queued now has come through
    // the dispatcher: all that was queued before it has been handled by then. The marker goes
    // to a service of its own, since log-ins drop the registrations.
    std::vector<ServiceIndication> drain() {
        auto marker =
            std::make_shared<TestService>(CorvaneConnectionWeakRef(m_connection), profiles(R()));
        m_connection.GetConnectionImpl()->AddIndicationConsumer(
            I::CIMIndicationType_Creation, "Test_Marker", MerrowServiceWeakRef(marker));
        cim::CIMInstance source("Test_Marker");
        source.setPath(cim::CIMObjectPath("Test_Marker.Id=\"1\""));
        m_root->GetImpl().OnIndicationReceived(
            UAIndication(m_array->address(), makeIndicationInstance("CIM_InstCreation", source)));
        return takeUntil(*m_root, [&](const ServiceIndication& indication) {
            return indication.GetService().IsSameService(MerrowService(marker));
        });
    }

    static std::size_t lostIndications(const std::vector<ServiceIndication>& taken) {
        return std::count_if(taken.begin(), taken.end(), [](const ServiceIndication& indication) {
            return indication.GetIndication().GetKind() == I::IndicationKind_LostConnection;
        });
    }

    std::unique_ptr<SimArray> m_array;
    std::unique_ptr<MerrowUserAgent> m_root;
    CorvaneConnection m_connection;
    std::shared_ptr<TestService> m_service;
};

// An ordinary request that times out only fails (see TimeoutSetBeforeLogInBoundsLaterRequests);
// the keep-alive probe timing out is what tells a hung array from a slow answer.
TEST_F(LostConnectionSimTest, HungArrayIsFoundLostByTheKeepAliveProbe) {
    connect("127.77.3.1");
    m_array->control().setHang(true);
    ASSERT_TRUE(eventually([&] { return stateOf(m_connection) == S::STATE_CONNECTION_LOST; }));
    m_array->control().setHang(false);
    const auto taken = drain();
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(lostIndications(taken), 1u);
    EXPECT_TRUE(m_service->IsServiceRemoved());

    EXPECT_EQ(m_connection.Reconnect("").getCode(), R::UA_S_OK);
    cim::CIMObjectPath top;
    EXPECT_EQ(m_connection.GetTopComputerSystem(top).getCode(), R::UA_S_OK);
    EXPECT_EQ(stateOf(m_connection), S::STATE_CONNECTED);
}

TEST_F(LostConnectionSimTest, ArrayThatGoesAwayIsLostAndReconnectsWhenBack) {
    connect("127.77.3.2");
    m_array->simulator().stop();
    ASSERT_TRUE(eventually([&] { return stateOf(m_connection) == S::STATE_CONNECTION_LOST; }));
    // Further failures while lost report nothing more.
    cim::CIMObjectPath top;
    EXPECT_TRUE(m_connection.GetTopComputerSystem(top).isFailure());
    EXPECT_TRUE(m_connection.GetTopComputerSystem(top).isFailure());
    const auto first = drain();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(lostIndications(first), 1u);
    EXPECT_TRUE(m_service->IsServiceRemoved());
    EXPECT_EQ(m_connection.Logoff().getCode(), R::UA_E_NOTCONNECTED);

    // Still away: a reconnect says so and reports no second loss.
    EXPECT_EQ(m_connection.Reconnect("").getCode(), R::UA_E_FAIL);
    EXPECT_EQ(stateOf(m_connection), S::STATE_NOT_REACHABLE);
    const auto second = drain();
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(lostIndications(second), 0u);

    m_array->simulator().start();
    EXPECT_EQ(m_connection.Reconnect("").getCode(), R::UA_S_OK);
    EXPECT_EQ(stateOf(m_connection), S::STATE_CONNECTED);

    // The subscriptions survived on the array: a new service hears about new volumes.
    auto service =
        std::make_shared<TestService>(CorvaneConnectionWeakRef(m_connection), profiles(R()));
    m_connection.GetConnectionImpl()->AddIndicationConsumer(
        I::CIMIndicationType_Creation, "CIM_StorageVolume", MerrowServiceWeakRef(service));
    std::string deviceId;
    ASSERT_EQ(m_array->control().addVolume("after-reconnect", 1ull << 30, deviceId),
              Sim::ControlResult::Ok);
    const auto taken = takeUntil(*m_root, [&](const ServiceIndication& indication) {
        return indication.GetService().IsSameService(MerrowService(service));
    });
    ASSERT_FALSE(taken.empty());
    const cim::CIMKeyBinding* key =
        taken.back().GetIndication().GetSourceObjectPath().findKeyBinding("DeviceID");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->getValue(), deviceId);
}

} // namespace
} // namespace Merrow::UserAgent
