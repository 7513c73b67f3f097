// Grouping actions against the simulated array: what the array's method received, what
// changed on the array and in the groupings' lists, and how a refusal comes back.

#include "user_agent/base/CIMObjectPathIdentity.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/groupings/FunctionalGrouping_AdvancedSettings.h"
#include "user_agent/groupings/FunctionalGrouping_Controller.h"
#include "user_agent/groupings/FunctionalGrouping_CorvaneSystem.h"
#include "user_agent/groupings/FunctionalGrouping_EthernetPort.h"
#include "user_agent/groupings/FunctionalGrouping_LAG.h"
#include "user_agent/groupings/FunctionalGrouping_ManagementPort.h"
#include "user_agent/groupings/FunctionalGrouping_PoolList.h"
#include "user_agent/groupings/FunctionalGrouping_SystemPerformanceSummary.h"
#include "user_agent/profiles/Profile_MultipleComputerSystems.h"
#include "user_agent/root/MerrowUserAgent.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/ArrayState.h"
#include "sim/NetworkMethods.h"

#include "ProfileTestService.h"
#include "ServiceIndicationCollector.h"
#include "SimArray.h"
#include "StartedRootSimTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;

class GroupingActionSimTest : public StartedRootSimTest {
protected:
    void connect(SimArray& array) {
        ASSERT_NO_FATAL_FAILURE(StartedRootSimTest::connect(array));
        ASSERT_EQ(m_connection.GetTopComputerSystem(m_top).getCode(), R::UA_S_OK);
    }

    template <typename Grouping>
    std::shared_ptr<ProfileTestService<Grouping>> serviceOn(const cim::CIMObjectPath& root) {
        auto service = std::make_shared<ProfileTestService<Grouping>>(m_connection, root);
        EXPECT_EQ(service->Init().getCode(), R::UA_S_OK);
        return service;
    }

    std::vector<cim::CIMObject> controllers() {
        std::vector<cim::CIMObject> objects;
        EXPECT_EQ(serviceOn<Profile_MultipleComputerSystems>(m_top)
                      ->profile()
                      .Get_Controller_List(objects)
                      .getCode(),
                  R::UA_S_OK);
        EXPECT_EQ(objects.size(), 2u);
        return objects;
    }

    // The parameter the last call of `method` received.
    cim::CIMValue lastParameter(const char* method, const char* parameter) {
        const auto call = m_array->control().lastCall(method);
        if (!call)
            return {};
        const auto found = call->parameters.find(parameter);
        return found == call->parameters.end() ? cim::CIMValue() : found->second;
    }

    UACIMClient& client() { return *m_connection.GetConnectionImpl(); }
    cim::CIMInstance onArray(const cim::CIMObjectPath& path) {
        return client().getInstance(kNamespace, path);
    }

    // The DeviceIDs of the ports the array has in the aggregate now.
    std::set<std::string> portsOnArray(const cim::CIMObjectPath& lag) {
        std::set<std::string> ids;
        for (const auto& path : client().associatorNames(kNamespace, lag, "CIM_DeviceSAPImplementation",
                                                         "CIM_EthernetPort")) {
            const cim::CIMKeyBinding* key = path.findKeyBinding("DeviceID");
            ids.insert(key ? key->getValue() : std::string());
        }
        return ids;
    }

    static inline const cim::CIMNamespaceName kNamespace{"root/snia"};
    cim::CIMObjectPath m_top;
};

std::string keyOf(const cim::CIMObjectPath& path, const char* key) {
    const cim::CIMKeyBinding* binding = path.findKeyBinding(key);
    return binding ? binding->getValue() : std::string();
}

bool holds(const std::vector<cim::CIMObject>& objects, const cim::CIMObjectPath& path) {
    return std::any_of(objects.begin(), objects.end(), [&](const cim::CIMObject& object) {
        return IsSameObjectPath(object.getPath(), path);
    });
}

TEST_F(GroupingActionSimTest, SystemActionsSendWhatTheArrayExpects) {
    SimArray array("127.77.10.1");
    connect(array);
    const auto both = controllers();
    auto controllerA = serviceOn<FunctionalGrouping_Controller>(both[0].getPath());

    // Each controller has a base pool of its own.
    cim::CIMObjectPath pool;
    ASSERT_EQ(controllerA->profile().GetBasePool(pool).getCode(), R::UA_S_OK);
    EXPECT_EQ(keyOf(pool, "InstanceID"), Sim::PoolId::BaseA);
    auto controllerB = serviceOn<FunctionalGrouping_Controller>(both[1].getPath());
    ASSERT_EQ(controllerB->profile().GetBasePool(pool).getCode(), R::UA_S_OK);
    EXPECT_EQ(keyOf(pool, "InstanceID"), Sim::PoolId::BaseB);

    auto settings = serviceOn<FunctionalGrouping_AdvancedSettings>(m_top);
    const std::uint16_t activeBefore = array.control().activeSlot();
    EXPECT_EQ(settings->profile().ForceControllerFailover().getCode(), R::UA_S_OK);
    EXPECT_NE(array.control().activeSlot(), activeBefore);
    EXPECT_EQ(settings->profile().TestSendNotification().getCode(), R::UA_S_OK);
    EXPECT_TRUE(array.control().lastCall("TestEmailSnmpNotifications"));

    // The array goes down after each of these.
    EXPECT_EQ(controllerA->profile().Shutdown(true).getCode(), R::UA_S_OK);
    const auto shutdown = array.control().lastCall("InitiateShutdown");
    ASSERT_TRUE(shutdown);
    EXPECT_EQ(shutdown->className, "Merrow_StorageConfigurationService");
    EXPECT_EQ(lastParameter("InitiateShutdown", "Restart"), cim::CIMValue(true));
    ASSERT_NO_FATAL_FAILURE(bringArrayBackAfterPowerCycle());
    EXPECT_EQ(controllerA->profile().Shutdown(false).getCode(), R::UA_S_OK);
    EXPECT_EQ(lastParameter("InitiateShutdown", "Restart"), cim::CIMValue(false));
    ASSERT_NO_FATAL_FAILURE(bringArrayBackAfterPowerCycle());
    auto system = serviceOn<FunctionalGrouping_CorvaneSystem>(m_top);
    EXPECT_EQ(system->profile().Shutdown(true).getCode(), R::UA_S_OK);
    EXPECT_EQ(lastParameter("InitiateShutdown", "Restart"), cim::CIMValue(true));
}

TEST_F(GroupingActionSimTest, GlobalPoolsAreTheArraysPoolsAndTheSummaryCountsItsObjects) {
    SimArray array("127.77.10.2");
    connect(array);
    auto poolList = serviceOn<FunctionalGrouping_PoolList>(m_top);
    std::vector<cim::CIMObject> pools;
    ASSERT_EQ(poolList->profile().Get_Pools_List(pools).getCode(), R::UA_S_OK);
    using Getter = MerrowReturnValue (FunctionalGrouping_PoolList::*)(cim::CIMObjectPath&);
    const std::pair<Getter, const char*> globals[] = {
        {&FunctionalGrouping_PoolList::GetGlobalSparePool, Sim::PoolId::Spare},
        {&FunctionalGrouping_PoolList::GetGlobalAvailablePool, Sim::PoolId::Available},
        {&FunctionalGrouping_PoolList::GetGlobalUnavailablePool, Sim::PoolId::Unavailable},
    };
    for (const auto& [getter, instanceId] : globals) {
        cim::CIMObjectPath pool;
        ASSERT_EQ((poolList->profile().*getter)(pool).getCode(), R::UA_S_OK) << instanceId;
        EXPECT_EQ(keyOf(pool, "InstanceID"), instanceId);
        EXPECT_TRUE(holds(pools, pool)) << pool.toString();
    }

    std::string sessionId;
    ASSERT_EQ(array.control().addSession("iqn.2024-01.org.example:host9", "3a000001", sessionId),
              Sim::ControlResult::Ok);
    auto summary = serviceOn<FunctionalGrouping_SystemPerformanceSummary>(m_top);
    using Counter = MerrowReturnValue (FunctionalGrouping_SystemPerformanceSummary::*)(std::uint32_t&);
    const std::pair<Counter, const char*> counts[] = {
        {&FunctionalGrouping_SystemPerformanceSummary::GetNumberOfDisks, "CIM_DiskDrive"},
        {&FunctionalGrouping_SystemPerformanceSummary::GetNumberOfPhysicalMedia, "CIM_PhysicalMedia"},
        {&FunctionalGrouping_SystemPerformanceSummary::GetNumberOfVolumes, "CIM_StorageVolume"},
        {&FunctionalGrouping_SystemPerformanceSummary::GetNumberOfInitiators, "CIM_StorageHardwareID"},
        {&FunctionalGrouping_SystemPerformanceSummary::GetNumberOfSessions, "CIM_iSCSISession"},
        {&FunctionalGrouping_SystemPerformanceSummary::GetNumberOfTargets, "CIM_SCSIProtocolController"},
    };
    for (const auto& [counter, className] : counts) {
        std::uint32_t count = 0;
        ASSERT_EQ((summary->profile().*counter)(count).getCode(), R::UA_S_OK) << className;
        EXPECT_EQ(count, client().enumerateInstanceNames(kNamespace, className).size())
            << className;
    }
    std::uint32_t sessions = 0;
    summary->profile().GetNumberOfSessions(sessions);
    EXPECT_EQ(sessions, 1u);
}

TEST_F(GroupingActionSimTest, LinkAggregatesAreMadeRefusedWhileInUseAndDeleted) {
    SimArray array("127.77.10.3");
    connect(array);
    auto controller = serviceOn<FunctionalGrouping_Controller>(controllers()[0].getPath());
    std::vector<cim::CIMObject> lags;
    ASSERT_EQ(controller->profile().Get_LAGs_List(lags).getCode(), R::UA_S_OK);
    ASSERT_EQ(lags.size(), 1u);
    auto firstLag = serviceOn<FunctionalGrouping_LAG>(lags.front().getPath());
    std::vector<cim::CIMObject> lagPorts;
    ASSERT_EQ(firstLag->profile().Get_EthernetPorts_List(lagPorts).getCode(), R::UA_S_OK);
    ASSERT_FALSE(lagPorts.empty());

    // A port leaves its aggregate and becomes the only port of a new one.
    auto port = serviceOn<FunctionalGrouping_EthernetPort>(lagPorts.front().getPath());
    const cim::CIMObjectPath firstLagPath = lags.front().getPath();
    const std::string portId = keyOf(lagPorts.front().getPath(), "DeviceID");
    ASSERT_EQ(port->profile().RemoveFromLAG().getCode(), R::UA_S_OK);
    EXPECT_FALSE(portsOnArray(firstLagPath).count(portId));
    cim::CIMObjectPath newLag;
    ASSERT_EQ(controller->profile()
                  .CreateLAG({port->profile().GetRootObjectPath()}, true, newLag)
                  .getCode(),
              R::UA_S_OK);
    ASSERT_FALSE(newLag.isNull());
    EXPECT_EQ(lastParameter("CreateLinkAggregator", "VLANState"), cim::CIMValue(true));
    EXPECT_TRUE(eventually([&] {
        controller->profile().Get_LAGs_List(lags);
        return holds(lags, newLag);
    }));

    // A portal on the aggregate keeps the array from deleting it.
    auto lag = serviceOn<FunctionalGrouping_LAG>(newLag);
    cim::CIMObjectPath portal;
    ASSERT_EQ(lag->profile().CreatePortal("10.10.9.10", "255.255.255.0", "", 0, portal).getCode(),
              R::UA_S_OK);
    ASSERT_FALSE(portal.isNull());
    const R refused = lag->profile().Delete();
    EXPECT_EQ(refused.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(refused.getFailureCode(), static_cast<std::int32_t>(Sim::ArrayFailure::IpEntityOnLag));
    controller->profile().Get_LAGs_List(lags);
    EXPECT_TRUE(holds(lags, newLag));

    const auto networkService =
        client().enumerateInstanceNames(kNamespace, "Merrow_NetworkConfigurationService");
    ASSERT_EQ(networkService.size(), 1u);
    std::vector<cim::CIMParamValue> out;
    ASSERT_EQ(client()
                  .invokeMethod(kNamespace, networkService.front(), "DeleteTCPIPProtocolEndpoint",
                                {{"NetworkPortal", cim::CIMValue(portal)}}, out)
                  .get<std::uint32_t>(),
              0u);
    ASSERT_EQ(lag->profile().Delete().getCode(), R::UA_S_OK);
    // The deleted path is dropped at once, without waiting for the array's indication.
    controller->profile().Get_LAGs_List(lags);
    EXPECT_FALSE(holds(lags, newLag));

    // Back into its first aggregate.
    ASSERT_EQ(port->profile().SetLAG(firstLagPath).getCode(), R::UA_S_OK);
    EXPECT_TRUE(portsOnArray(firstLagPath).count(portId));
}

TEST_F(GroupingActionSimTest, PortsChangeStateAndThePingAnswers) {
    SimArray array("127.77.10.4");
    connect(array);
    auto controller = serviceOn<FunctionalGrouping_Controller>(controllers()[0].getPath());
    std::vector<cim::CIMObject> ports;
    ASSERT_EQ(controller->profile().Get_PhysicalPorts_List(ports).getCode(), R::UA_S_OK);
    ASSERT_FALSE(ports.empty());
    const cim::CIMObjectPath portPath = ports.back().getPath();
    auto port = serviceOn<FunctionalGrouping_EthernetPort>(portPath);
    ASSERT_EQ(port->profile().Disable().getCode(), R::UA_S_OK);
    EXPECT_EQ(onArray(portPath).getPropertyValue("EnabledState"), cim::CIMValue(std::uint16_t{3}));
    ASSERT_EQ(port->profile().Enable().getCode(), R::UA_S_OK);
    EXPECT_EQ(onArray(portPath).getPropertyValue("EnabledState"), cim::CIMValue(std::uint16_t{2}));

    // The management port reaches its own subnet only.
    auto management = serviceOn<FunctionalGrouping_ManagementPort>(m_top);
    std::uint64_t delay = 0;
    ASSERT_EQ(management->profile().PingRemoteIPAddress("127.1.2.3", delay).getCode(), R::UA_S_OK);
    EXPECT_EQ(delay, Sim::NetworkMethods::kPingDelay);
    const R unreachable = management->profile().PingRemoteIPAddress("192.0.2.7", delay);
    EXPECT_EQ(unreachable.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(unreachable.getFailureCode(),
              static_cast<std::int32_t>(Sim::ArrayFailure::RequestTimedOut));
}

TEST_F(GroupingActionSimTest, ARefusalCarriesTheArraysCodeAndAStartedJobIsSuccess) {
    SimArray array("127.77.10.5");
    connect(array);
    auto controller = serviceOn<FunctionalGrouping_Controller>(controllers()[0].getPath());
    auto poolList = serviceOn<FunctionalGrouping_PoolList>(m_top);

    array.control().failNextCalls("InitiateShutdown", 1, 4097);
    const R shutdown = controller->profile().Shutdown(true);
    EXPECT_EQ(shutdown.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(shutdown.getFailureCode(), 4097);
    EXPECT_TRUE(array.simulator().poweredOn());
    EXPECT_EQ(controller->profile().Shutdown(true).getCode(), R::UA_S_OK);
    ASSERT_NO_FATAL_FAILURE(bringArrayBackAfterPowerCycle());

    array.control().failNextCalls("GetSparePool", 1, 6);
    cim::CIMObjectPath pool;
    const R spare = poolList->profile().GetGlobalSparePool(pool);
    EXPECT_EQ(spare.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(spare.getFailureCode(), 6);
    EXPECT_TRUE(pool.isNull());

    array.control().failNextCalls("TestEmailSnmpNotifications", 1, 4096);
    auto settings = serviceOn<FunctionalGrouping_AdvancedSettings>(m_top);
    EXPECT_EQ(settings->profile().TestSendNotification().getCode(), R::UA_S_OK);
}

} // namespace
} // namespace Merrow::UserAgent
