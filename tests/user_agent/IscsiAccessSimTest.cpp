// iSCSI access through the facades against the simulated array: what grants, revokes and
// initiator registrations send, how the array's refusals come back, CHAP secrets and
// authentication methods, and the target's session and connection settings.

#include "user_agent/base/CIMValueConversions.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_Initiator.h"
#include "user_agent/services/Service_InitiatorImpl.h"
#include "user_agent/services/Service_Portal.h"
#include "user_agent/services/Service_iSCSI.h"
#include "user_agent/services/Service_iSCSISession.h"
#include "user_agent/services/Service_iSCSITarget.h"
#include "user_agent/services/Service_iSCSITargetImpl.h"

#include "ServiceIndicationCollector.h"
#include "SimArray.h"
#include "StartedRootSimTest.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;
using Method = UAEnums::AuthenticationMethod;

constexpr const char* kHost = "iqn.2026-12.com.example:access-host";
constexpr std::int32_t kInitiatorExists = 100;
constexpr std::int32_t kInitiatorAlreadyOnTarget = 124;
constexpr std::int32_t kInitiatorNotOnTarget = 128;
constexpr std::int32_t kInitiatorLoggedIn = 138;
constexpr std::int32_t kNoAuthentication = 3;
constexpr std::int32_t kChap = 5;

class IscsiAccessSimTest : public StartedRootSimTest {
protected:
    void start(const std::string& address) {
        ASSERT_NO_FATAL_FAILURE(connectToNewArray(address));
        ASSERT_EQ(m_connection.GetCorvaneSystemService(m_system).getCode(), R::UA_S_OK);
        ASSERT_EQ(m_system.GetServiceiSCSI(m_iscsi).getCode(), R::UA_S_OK);
        std::vector<Service_iSCSITarget> targets;
        ASSERT_EQ(m_iscsi.GetiSCSITargets(targets).getCode(), R::UA_S_OK);
        ASSERT_FALSE(targets.empty());
        m_target = targets.front();
    }

    Sim::SimulatorControl& control() { return m_array->control(); }
    Sim::ArrayState state() {
        return control().model().read([](const Sim::ModelView& view) { return view.state; });
    }
    // The array's volume behind m_target.
    Sim::SimVolume targetVolume() {
        std::string iqn;
        EXPECT_EQ(m_target.GetDurableName(iqn).getCode(), R::UA_S_OK);
        for (const auto& [id, volume] : state().volumes) {
            if (volume.target.iqn == iqn)
                return volume;
        }
        ADD_FAILURE() << "no volume with target " << iqn;
        return {};
    }

    Service_Initiator addInitiator(const std::string& name) {
        Service_Initiator initiator;
        EXPECT_EQ(m_system.AddInitiator(name, initiator).getCode(), R::UA_S_OK);
        return initiator;
    }

    static std::vector<std::string> globalIds(const std::vector<Service_Initiator>& initiators) {
        std::vector<std::string> ids;
        for (const Service_Initiator& initiator : initiators) {
            std::string id;
            if (!initiator.GetGlobalID(id).isFailure())
                ids.push_back(id);
        }
        return ids;
    }
    bool targetLists(const std::string& name) {
        std::vector<Service_Initiator> initiators;
        EXPECT_EQ(m_target.GetInitiators(initiators).getCode(), R::UA_S_OK);
        const auto ids = globalIds(initiators);
        return std::find(ids.begin(), ids.end(), name) != ids.end();
    }
    bool arrayGrants(const std::string& name) {
        const Sim::ArrayState now = state();
        return std::any_of(now.grants.begin(), now.grants.end(), [&](const auto& grant) {
            const auto initiator = now.initiators.find(grant.second.initiatorId);
            return initiator != now.initiators.end() && initiator->second.name == name;
        });
    }

    // The access methods send one initiator and one target, and no other list.
    void expectAccessCallShape(const char* method, const std::vector<const char*>& emptyLists) {
        const auto call = control().lastCall(method);
        ASSERT_TRUE(call.has_value()) << method;
        const auto& sent = call->parameters;
        ASSERT_TRUE(sent.count("InitiatorPortIDs"));
        EXPECT_EQ(sent.at("InitiatorPortIDs").get<std::vector<std::string>>(),
                  std::vector<std::string>{kHost});
        ASSERT_TRUE(sent.count("ProtocolControllers"));
        const auto controllers = sent.at("ProtocolControllers").get<std::vector<cim::CIMObjectPath>>();
        ASSERT_EQ(controllers.size(), 1u);
        const cim::CIMKeyBinding* sentKey = controllers[0].findKeyBinding("DeviceID");
        const cim::CIMKeyBinding* ownKey =
            m_target.GetServiceImpl()->GetRootPath().findKeyBinding("DeviceID");
        ASSERT_NE(sentKey, nullptr);
        ASSERT_NE(ownKey, nullptr);
        EXPECT_EQ(sentKey->getValue(), ownKey->getValue());
        for (const char* list : emptyLists) {
            if (sent.count(list)) {
                EXPECT_TRUE(sent.at(list).isNull() || sent.at(list).getArraySize() == 0) << list;
            }
        }
    }

    Service_CorvaneSystem m_system;
    Service_iSCSI m_iscsi;
    Service_iSCSITarget m_target;
};

// ---- access grants ----------------------------------------------------------------------------

TEST_F(IscsiAccessSimTest, GrantAndRevokeSendOneInitiatorAndOneTargetAndReachTheLists) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.1.1"));
    const Service_Initiator host = addInitiator(kHost);
    ASSERT_TRUE(host.IsValid());

    ASSERT_EQ(m_target.GrantInitiatorAccess(host).getCode(), R::UA_S_OK);
    expectAccessCallShape("ExposePaths", {"LUNames", "TargetPortIDs", "DeviceNumbers", "DeviceAccesses"});
    EXPECT_TRUE(arrayGrants(kHost));
    EXPECT_TRUE(eventually([&] { return targetLists(kHost); }));

    ASSERT_EQ(m_target.RevokeInitiatorAccess(host).getCode(), R::UA_S_OK);
    expectAccessCallShape("HidePaths", {"LUNames", "TargetPortIDs"});
    EXPECT_FALSE(arrayGrants(kHost));
    EXPECT_TRUE(eventually([&] { return !targetLists(kHost); }));
}

TEST_F(IscsiAccessSimTest, RefusedGrantOrRevokeSucceedsButCarriesTheArraysCode) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.1.2"));
    const Service_Initiator host = addInitiator(kHost);

    const R notGranted = m_target.RevokeInitiatorAccess(host);
    EXPECT_EQ(notGranted.getCode(), R::UA_S_FALSE);
    EXPECT_FALSE(notGranted.isFailure());
    EXPECT_EQ(notGranted.getFailureCode(), kInitiatorNotOnTarget);

    ASSERT_EQ(m_target.GrantInitiatorAccess(host).getCode(), R::UA_S_OK);
    const R again = m_target.GrantInitiatorAccess(host);
    EXPECT_EQ(again.getCode(), R::UA_S_FALSE);
    EXPECT_EQ(again.getFailureCode(), kInitiatorAlreadyOnTarget);
    EXPECT_TRUE(arrayGrants(kHost));
}

TEST_F(IscsiAccessSimTest, GrantWithoutAnInitiatorServiceSendsNothing) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.1.3"));
    control().clearCalls();
    EXPECT_EQ(m_target.GrantInitiatorAccess(Service_Initiator()).getCode(), R::UA_E_INVALIDARG);
    EXPECT_FALSE(control().lastCall("ExposePaths").has_value());
}

// ---- initiators ------------------------------------------------------------------------------

TEST_F(IscsiAccessSimTest, AddingAnInitiatorAsksTheArrayEveryTimeAndItsLastAnswerDecides) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.2.1"));
    control().resetRequestCounts();
    const Service_Initiator first = addInitiator(kHost);
    ASSERT_TRUE(first.IsValid());
    std::string name;
    EXPECT_EQ(first.GetGlobalID(name).getCode(), R::UA_S_OK);
    EXPECT_EQ(name, kHost);

    Service_Initiator second;
    const R refused = m_system.AddInitiator(kHost, second);
    EXPECT_EQ(refused.getCode(), R::UA_S_FALSE);
    EXPECT_EQ(refused.getFailureCode(), kInitiatorExists);
    EXPECT_FALSE(second.IsValid());
    EXPECT_EQ(control().requestCount("CreateStorageHardwareID"), 2u);

    const auto call = control().lastCall("CreateStorageHardwareID");
    ASSERT_TRUE(call.has_value());
    EXPECT_EQ(call->parameters.at("ElementName").get<std::string>(), kHost);
    EXPECT_EQ(call->parameters.at("StorageID").get<std::string>(), kHost);
    EXPECT_EQ(CIMValueToUint64(call->parameters.at("IDType")).value_or(0), 5u);
}

TEST_F(IscsiAccessSimTest, DeletedInitiatorLeavesTheArrayAndItsLists) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.2.2"));
    const Service_Initiator host = addInitiator(kHost);
    std::vector<Service_Initiator> listed;
    ASSERT_EQ(m_iscsi.GetInitiators(listed).getCode(), R::UA_S_OK);
    const auto listedIds = globalIds(listed);
    ASSERT_EQ(std::count(listedIds.begin(), listedIds.end(), kHost), 1);

    ASSERT_EQ(host.Delete().getCode(), R::UA_S_OK);
    const Sim::ArrayState after = state();
    EXPECT_TRUE(std::none_of(after.initiators.begin(), after.initiators.end(),
                             [](const auto& item) { return item.second.name == kHost; }));
    EXPECT_TRUE(eventually([&] {
        std::vector<Service_Initiator> now;
        const auto ids = m_iscsi.GetInitiators(now).isFailure() ? std::vector<std::string>{kHost}
                                                                 : globalIds(now);
        return std::find(ids.begin(), ids.end(), kHost) == ids.end();
    }));
    // The name is free again: the array's answer to the new request decides.
    EXPECT_TRUE(addInitiator(kHost).IsValid());
}

TEST_F(IscsiAccessSimTest, InitiatorLoggedInIsNotDeleted) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.2.3"));
    const Service_Initiator host = addInitiator(kHost);
    std::string sessionId;
    ASSERT_EQ(control().addSession(kHost, targetVolume().id, sessionId), Sim::ControlResult::Ok);
    const R refused = host.Delete();
    EXPECT_EQ(refused.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(refused.getFailureCode(), kInitiatorLoggedIn);
    const Sim::ArrayState after = state();
    EXPECT_TRUE(std::any_of(after.initiators.begin(), after.initiators.end(),
                            [](const auto& item) { return item.second.name == kHost; }));
}

TEST_F(IscsiAccessSimTest, SessionNamesItsInitiatorByTheTextBeforeTheComma) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.2.4"));
    std::string sessionId;
    ASSERT_EQ(control().addSession(kHost, targetVolume().id, sessionId), Sim::ControlResult::Ok);
    std::vector<Service_iSCSISession> sessions;
    ASSERT_TRUE(eventually([&] {
        sessions.clear();
        return !m_target.GetSessions(sessions).isFailure() && sessions.size() == 1;
    }));
    std::string endPointName;
    ASSERT_EQ(sessions[0].GetEndPointName(endPointName).getCode(), R::UA_S_OK);
    ASSERT_NE(endPointName.find(','), std::string::npos);
    std::string globalId;
    ASSERT_EQ(sessions[0].GetInitiatorGlobalID(globalId).getCode(), R::UA_S_OK);
    EXPECT_EQ(globalId, kHost);
}

// ---- CHAP ------------------------------------------------------------------------------------

TEST_F(IscsiAccessSimTest, ChapIsRequiredOnlyWhenNeitherMethodIsNoAuthentication) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.3.1"));
    // Each write's modification indication carries the array's settings as they were then,
    // so the cached settings settle once the last of them is in.
    auto chapRequiredSettlesAt = [&](bool expected) {
        return eventually([&] {
            bool required = !expected;
            return !m_target.IsChapRequired(required).isFailure() && required == expected;
        });
    };
    EXPECT_TRUE(chapRequiredSettlesAt(false));

    ASSERT_EQ(m_target.SetPrimaryAuthenticationMethod(Method(kChap)).getCode(), R::UA_S_OK);
    EXPECT_EQ(targetVolume().target.primaryAuthentication, kChap);
    EXPECT_TRUE(chapRequiredSettlesAt(false));

    ASSERT_EQ(m_target.SetSecondaryAuthenticationMethod(Method(kChap)).getCode(), R::UA_S_OK);
    EXPECT_EQ(targetVolume().target.secondaryAuthentication, kChap);
    EXPECT_TRUE(chapRequiredSettlesAt(true));

    ASSERT_EQ(m_target.SetPrimaryAuthenticationMethod(Method(kNoAuthentication)).getCode(), R::UA_S_OK);
    EXPECT_EQ(targetVolume().target.primaryAuthentication, kNoAuthentication);
    EXPECT_TRUE(chapRequiredSettlesAt(false));
    EXPECT_TRUE(eventually([&] {
        std::uint16_t secondary = 0;
        return !m_target.GetSecondaryAuthenticationMethod(secondary).isFailure() && secondary == kChap;
    }));
}

TEST_F(IscsiAccessSimTest, UnreadableMethodsAreReportedNotGuessed) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.3.2"));
    control().failNextCalls("Associators", 10, 1);
    bool required = false;
    EXPECT_TRUE(m_target.IsChapRequired(required).isFailure());
    control().failNextCalls("Associators", 0, 0);
}

TEST_F(IscsiAccessSimTest, SecretsAreWrittenToTheTargetAndTheInitiator) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.3.3"));
    const Service_Initiator host = addInitiator(kHost);
    ASSERT_EQ(m_target.SetSecret("target-secret-1").getCode(), R::UA_S_OK);
    EXPECT_EQ(targetVolume().target.secret, "target-secret-1");
    ASSERT_EQ(host.SetSecret("initiator-secret").getCode(), R::UA_S_OK);
    const Sim::ArrayState after = state();
    const auto found = std::find_if(after.initiators.begin(), after.initiators.end(),
                                    [](const auto& item) { return item.second.name == kHost; });
    ASSERT_NE(found, after.initiators.end());
    EXPECT_EQ(found->second.secret, "initiator-secret");
    // The typed setter sends the text as given; the array itself refuses a short secret.
    EXPECT_TRUE(m_target.SetSecret("too-short").isFailure());
    EXPECT_EQ(targetVolume().target.secret, "target-secret-1");
}

// ---- target settings -------------------------------------------------------------------------

TEST_F(IscsiAccessSimTest, TargetSettingsAreWhatTheArrayShows) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.4.1"));
    UACIMClient& client = *m_connection.GetConnectionImpl();
    const cim::CIMObjectPath targetPath = m_target.GetServiceImpl()->GetRootPath();
    auto settingsOf = [&](const char* className) {
        const auto found = client.associators(UACIMClient::kArrayNamespace, targetPath,
                                              cim::CIMName("CIM_ElementSettingData"),
                                              cim::CIMName(className));
        EXPECT_EQ(found.size(), 1u) << className;
        return found.empty() ? cim::CIMObject() : found.front();
    };
    const cim::CIMObject session = settingsOf("CIM_iSCSISessionSettings");
    const cim::CIMObject connection = settingsOf("CIM_iSCSIConnectionSettings");
    auto shown = [](const cim::CIMObject& object, const char* name) {
        EXPECT_TRUE(object.properties().hasProperty(cim::CIMName(name))) << name;
        return object.properties().hasProperty(cim::CIMName(name))
                   ? CIMValueToUint64(object.properties().getPropertyValue(cim::CIMName(name)))
                         .value_or(~0ull)
                   : ~0ull;
    };
    auto shownFlag = [](const cim::CIMObject& object, const char* name) {
        return object.properties().getPropertyValue(cim::CIMName(name)).get<bool>();
    };

    std::uint32_t u32 = 0;
    std::uint16_t u16 = 0;
    ASSERT_EQ(m_target.GetMaxDataBurstLength(u32).getCode(), R::UA_S_OK);
    EXPECT_EQ(u32, shown(session, "MaxDataBurstLength"));
    ASSERT_EQ(m_target.GetMaxOutstandingR2T(u32).getCode(), R::UA_S_OK);
    EXPECT_EQ(u32, shown(session, "MaxOutstandingR2T"));
    ASSERT_EQ(m_target.GetDefaultTimeToWaitPreference(u32).getCode(), R::UA_S_OK);
    EXPECT_EQ(u32, shown(session, "DefaultTimeToWaitPreference"));
    ASSERT_EQ(m_target.GetDefaultTimeToRetainPreference(u32).getCode(), R::UA_S_OK);
    EXPECT_EQ(u32, shown(session, "DefaultTimeToRetainPreference"));
    ASSERT_EQ(m_target.GetMaxUnsolicitedFirstDataBurstLength(u32).getCode(), R::UA_S_OK);
    EXPECT_EQ(u32, shown(session, "MaxUnsolicitedFirstDataBurstLength"));
    ASSERT_EQ(m_target.GetMaxConnectionsPerSession(u16).getCode(), R::UA_S_OK);
    EXPECT_EQ(u16, shown(session, "MaxConnectionsPerSession"));
    ASSERT_EQ(m_target.GetMaxReceiveDataSegmentLength(u32).getCode(), R::UA_S_OK);
    EXPECT_EQ(u32, shown(connection, "MaxReceiveDataSegmentLength"));
    ASSERT_EQ(m_target.GetPrimaryHeaderDigestMethod(u16).getCode(), R::UA_S_OK);
    EXPECT_EQ(u16, shown(connection, "PrimaryHeaderDigestMethod"));
    ASSERT_EQ(m_target.GetSecondaryDataDigestMethod(u16).getCode(), R::UA_S_OK);
    EXPECT_EQ(u16, shown(connection, "SecondaryDataDigestMethod"));
    bool flag = false;
    ASSERT_EQ(m_target.GetImmediateDataPreference(flag).getCode(), R::UA_S_OK);
    EXPECT_EQ(flag, shownFlag(session, "ImmediateDataPreference"));
    ASSERT_EQ(m_target.GetInitialR2TPreference(flag).getCode(), R::UA_S_OK);
    EXPECT_EQ(flag, shownFlag(session, "InitialR2TPreference"));
}

// ---- portals ---------------------------------------------------------------------------------

TEST_F(IscsiAccessSimTest, PortalPingsItsSubnetAndIsDeleted) {
    ASSERT_NO_FATAL_FAILURE(start("127.81.5.1"));
    std::vector<Service_Portal> portals;
    ASSERT_EQ(m_iscsi.GetPortals(portals).getCode(), R::UA_S_OK);
    ASSERT_FALSE(portals.empty());
    const std::size_t before = portals.size();
    std::uint64_t delay = 0;
    // Off the portal's subnet nothing answers.
    const R unreachable = portals[0].PingRemoteIPAddress("203.0.113.9", delay);
    EXPECT_EQ(unreachable.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(unreachable.getFailureCode(), 27);

    ASSERT_EQ(portals[0].Delete().getCode(), R::UA_S_OK);
    EXPECT_EQ(state().portals.size(), before - 1);
    std::vector<Service_Portal> after;
    ASSERT_EQ(m_iscsi.GetPortals(after).getCode(), R::UA_S_OK);
    EXPECT_EQ(after.size(), before - 1);
}

} // namespace
} // namespace Merrow::UserAgent
