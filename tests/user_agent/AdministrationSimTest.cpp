// The administration facades against the embedded simulated array: the system's identity
// enumerations, system policy, external connections, user accounts and the event history.

#include "sim/AdministrationProjection.h"
#include "sim/ArrayFailureCodes.h"
#include "sim/CimJson.h"
#include "sim/ClassRegistry.h"
#include "sim/ConfigurationData.h"
#include "sim/EventLog.h"
#include "trace/TraceSinks.h"
#include "user_agent/services/Service_CorvaneSystem.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskList.h"
#include "user_agent/services/Service_Event.h"
#include "user_agent/services/Service_EventHistory.h"
#include "user_agent/services/Service_ExternalConnectionsManager.h"
#include "user_agent/services/Service_SystemPolicy.h"
#include "user_agent/services/Service_User.h"
#include "user_agent/services/Service_UserList.h"
#include "user_agent/services/Service_Volume.h"

#include "ServiceIndicationCollector.h"
#include "SimArray.h"
#include "StartedRootSimTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Merrow::UserAgent {
namespace {

using namespace Testing;
using R = MerrowReturnValue;

// Every trace message of this program passes here on its way to the sink that was current
// before, so that a test can look for text that must never be traced. Installed before any
// stream exists: streams keep the sink that was current when the first of them was made.
class TraceRecorder : public Trace::TraceStreamSinkInterface {
public:
    static TraceRecorder& instance() {
        static TraceRecorder recorder(Trace::getCurrentTraceSink());
        return recorder;
    }

    bool write(std::string_view file, int32_t line, std::string_view function,
               std::string_view prefix, uint32_t verbosity, std::string_view category,
               std::string_view message) override {
        {
            std::lock_guard lock(m_mutex);
            m_messages.emplace_back(std::string(prefix) + " " + std::string(function) + " " +
                                    std::string(message));
        }
        return m_next->mayWrite(verbosity) &&
               m_next->write(file, line, function, prefix, verbosity, category, message);
    }
    // Every record is built, whatever the next sink would keep.
    bool mayWrite(uint32_t) const override { return true; }

    void clear() {
        std::lock_guard lock(m_mutex);
        m_messages.clear();
    }
    std::size_t countContaining(const std::string& text) {
        std::lock_guard lock(m_mutex);
        return static_cast<std::size_t>(
            std::count_if(m_messages.begin(), m_messages.end(), [&](const std::string& message) {
                return message.find(text) != std::string::npos;
            }));
    }

private:
    explicit TraceRecorder(Trace::TraceStreamSinkInterface* next) : m_next(next) {}

    Trace::TraceStreamSinkInterface* m_next;
    std::mutex m_mutex; // guards m_messages
    std::vector<std::string> m_messages;
};

const bool g_recorderInstalled = (Trace::setCurrentTraceSink(&TraceRecorder::instance()), true);

class AdministrationSimTest : public StartedRootSimTest {
protected:
    void start(const std::string& address) {
        ASSERT_NO_FATAL_FAILURE(connectToNewArray(address));
        ASSERT_EQ(m_connection.GetCorvaneSystemService(m_system).getCode(), R::UA_S_OK);
    }

    Sim::SimulatorControl& control() { return m_array->control(); }

    Sim::ArrayState state() {
        return control().model().read([](const Sim::ModelView& view) { return view.state; });
    }

    std::uint64_t requests() {
        std::uint64_t total = 0;
        for (const auto& [operation, count] : control().requestCounts())
            total += count;
        return total;
    }

    // The value a client stored on a settings object of the array, or null.
    nlohmann::json storedSetting(const char* instanceId, const char* property) {
        const Sim::ArrayState truth = state();
        auto found = truth.system.settings.find(instanceId);
        if (found == truth.system.settings.end() || !found->second.contains(property))
            return nullptr;
        return found->second.at(property);
    }

    Service_UserList userList() {
        Service_UserList list;
        EXPECT_EQ(m_system.GetServiceUserList(list).getCode(), R::UA_S_OK);
        return list;
    }

    // User names and roles as the facades show them.
    std::vector<std::pair<std::string, std::string>> users() {
        std::vector<Service_User> handles;
        EXPECT_EQ(userList().GetUsers(handles).getCode(), R::UA_S_OK);
        std::vector<std::pair<std::string, std::string>> result;
        for (const Service_User& user : handles) {
            std::string name, role;
            EXPECT_EQ(user.GetName(name).getCode(), R::UA_S_OK);
            EXPECT_EQ(user.GetRole(role).getCode(), R::UA_S_OK);
            result.emplace_back(name, role);
        }
        std::sort(result.begin(), result.end());
        return result;
    }

    struct EventSeen {
        std::string recordId;
        std::uint16_t severity = 0;
        std::string category;
        std::string message;
        DateTime time;
    };

    Service_EventHistory eventHistory() {
        Service_EventHistory history;
        EXPECT_EQ(m_system.GetServiceEventHistory(history).getCode(), R::UA_S_OK);
        return history;
    }

    std::vector<EventSeen> events(const Service_EventHistory& history) {
        std::vector<Service_Event> handles;
        EXPECT_EQ(history.GetEvents(handles).getCode(), R::UA_S_OK);
        std::vector<EventSeen> seen;
        for (const Service_Event& event : handles) {
            EventSeen item;
            EXPECT_EQ(event.GetRecordID(item.recordId).getCode(), R::UA_S_OK);
            EXPECT_EQ(event.GetSeverity(item.severity).getCode(), R::UA_S_OK);
            EXPECT_EQ(event.GetCategory(item.category).getCode(), R::UA_S_OK);
            EXPECT_EQ(event.GetMessage(item.message).getCode(), R::UA_S_OK);
            EXPECT_EQ(event.GetTime(item.time).getCode(), R::UA_S_OK);
            seen.push_back(item);
        }
        return seen;
    }

    static std::optional<EventSeen> eventMentioning(const std::vector<EventSeen>& seen,
                                                    const std::string& text) {
        for (const EventSeen& event : seen) {
            if (event.message.find(text) != std::string::npos)
                return event;
        }
        return std::nullopt;
    }

    Service_CorvaneSystem m_system;
};

// ---- the system's identity --------------------------------------------------------------------

TEST_F(AdministrationSimTest, BladeTypeAndBindOutcomeAreTheArraysNumbersAsEnumerations) {
    start("127.80.0.1");
    UAEnums::BladeType bladeType;
    ASSERT_EQ(m_system.GetBladeType(bladeType).getCode(), R::UA_S_OK);
    EXPECT_EQ(bladeType.getValue(), 3);
    EXPECT_TRUE(bladeType.isNormal()) << bladeType;
    UAEnums::BindFailReason reason;
    ASSERT_EQ(m_system.GetBindFailReason(reason).getCode(), R::UA_S_OK);
    EXPECT_EQ(std::string(reason.c_str()), "Bind_OK");
    EXPECT_FALSE(reason.isError());
}

// ---- system policy ----------------------------------------------------------------------------

TEST_F(AdministrationSimTest, PoliciesReadWhatTheArrayHolds) {
    // Stored on the array before the client first reads it.
    SimArray array("127.80.1.1");
    array.control().model().update([](Sim::ModelTransaction& transaction) {
        transaction.state().system.settings[Sim::SettingId::SystemPolicy]["BatteryPolicy"] =
            Sim::CimJson::valueToJson(cim::CIMValue(std::uint16_t{5}));
        transaction.touch(Sim::GroupKind::Administration);
    });
    connect(array);
    ASSERT_EQ(m_connection.GetCorvaneSystemService(m_system).getCode(), R::UA_S_OK);
    Service_SystemPolicy policy;
    ASSERT_EQ(m_system.GetServiceSystemPolicy(policy).getCode(), R::UA_S_OK);

    UAEnums::CvnBatteryPolicy battery;
    ASSERT_EQ(policy.GetBatteryPolicy(battery).getCode(), R::UA_S_OK);
    EXPECT_EQ(std::string(battery.c_str()), "A_UPS_is_present");
    UAEnums::CvnFailoverPolicy failover;
    ASSERT_EQ(policy.GetFailoverPolicy(failover).getCode(), R::UA_S_OK);
    EXPECT_EQ(std::string(failover.c_str()), "Write_Through");
    UAEnums::CvnBatteryState batteryState;
    ASSERT_EQ(policy.GetBatteryState(batteryState).getCode(), R::UA_S_OK);
    EXPECT_EQ(std::string(batteryState.c_str()), "Charged");
}

TEST_F(AdministrationSimTest, PolicyValuesNobodyMayChooseAreRefusedBeforeAnyRequest) {
    start("127.80.1.2");
    Service_SystemPolicy policy;
    ASSERT_EQ(m_system.GetServiceSystemPolicy(policy).getCode(), R::UA_S_OK);
    UAEnums::CvnBatteryPolicy battery;
    ASSERT_EQ(policy.GetBatteryPolicy(battery).getCode(), R::UA_S_OK);

    control().resetRequestCounts();
    for (std::int32_t unsettable : {0, 1, 6}) {
        EXPECT_EQ(policy.SetBatteryPolicy(UAEnums::CvnBatteryPolicy(unsettable)).getCode(),
                  R::UA_E_INVALIDARG)
            << unsettable;
    }
    EXPECT_EQ(policy.SetFailoverPolicy(UAEnums::CvnFailoverPolicy(0)).getCode(), R::UA_E_INVALIDARG);
    EXPECT_EQ(requests(), 0u);
    EXPECT_TRUE(storedSetting(Sim::SettingId::SystemPolicy, "BatteryPolicy").is_null());
}

TEST_F(AdministrationSimTest, SettablePoliciesRoundTripThroughTheArray) {
    start("127.80.1.3");
    Service_SystemPolicy policy;
    ASSERT_EQ(m_system.GetServiceSystemPolicy(policy).getCode(), R::UA_S_OK);
    UAEnums::CvnBatteryPolicy battery;
    ASSERT_TRUE(battery.set("Disregard"));
    ASSERT_EQ(policy.SetBatteryPolicy(battery).getCode(), R::UA_S_OK);
    UAEnums::CvnFailoverPolicy failover;
    ASSERT_TRUE(failover.set("disr"));
    ASSERT_EQ(policy.SetFailoverPolicy(failover).getCode(), R::UA_S_OK);

    EXPECT_EQ(storedSetting(Sim::SettingId::SystemPolicy, "BatteryPolicy"),
              Sim::CimJson::valueToJson(cim::CIMValue(std::uint16_t{2})));
    EXPECT_EQ(storedSetting(Sim::SettingId::SystemPolicy, "FailoverPolicy"),
              Sim::CimJson::valueToJson(cim::CIMValue(std::uint16_t{1})));
    // The cache follows the array's modification indications, which come after the writes.
    EXPECT_TRUE(eventually([&] {
        UAEnums::CvnBatteryPolicy readBattery;
        UAEnums::CvnFailoverPolicy readFailover;
        return !policy.GetBatteryPolicy(readBattery).isFailure() && readBattery == battery &&
               !policy.GetFailoverPolicy(readFailover).isFailure() &&
               std::string(readFailover.c_str()) == "Disregard";
    }));
}

// ---- external connections ---------------------------------------------------------------------

TEST_F(AdministrationSimTest, ExternalConnectionSettingsRoundTripAndPersist) {
    start("127.80.2.1");
    Service_ExternalConnectionsManager manager;
    ASSERT_EQ(m_system.GetServiceExternalConnectionsManager(manager).getCode(), R::UA_S_OK);
    std::uint16_t port = 0;
    ASSERT_EQ(manager.GetSMTPServerPort(port).getCode(), R::UA_S_OK);
    EXPECT_EQ(port, 25u);

    using Setter = R (Service_ExternalConnectionsManager::*)(const std::string&) const;
    using Getter = R (Service_ExternalConnectionsManager::*)(std::string&) const;
    struct Text {
        Setter set;
        Getter get;
        const char* property;
        std::string value;
    };
    using M = Service_ExternalConnectionsManager;
    const std::vector<Text> texts{
        {&M::SetSMTPServerAddress, &M::GetSMTPServerAddress, "SMTPServerAddress", "192.0.2.25"},
        {&M::SetEmailSenderAddress, &M::GetEmailSenderAddress, "EmailSenderAddress", "array@example.org"},
        {&M::SetEmailRecipientAddress, &M::GetEmailRecipientAddress, "EmailRecipientAddress", "ops@example.org"},
        {&M::SetSNMPTrapDestination, &M::GetSNMPTrapDestination, "SNMPTrapDestination", "192.0.2.162"},
        {&M::SetSNMPCommunity, &M::GetSNMPCommunity, "SNMPCommunity", "storage-ops"},
        {&M::SetNTPServerAddress, &M::GetNTPServerAddress, "NTPServerAddress", "192.0.2.123"},
        {&M::SetSyslogServerAddress, &M::GetSyslogServerAddress, "SyslogServerAddress", "syslog.example.org"},
    };
    // The array refuses what it could never reach; the facade reports it and keeps the old value.
    EXPECT_TRUE(manager.SetNTPServerAddress("ntp server").isFailure());
    EXPECT_TRUE(storedSetting(Sim::SettingId::ExternalConnections, "NTPServerAddress").is_null());
    for (const Text& text : texts)
        ASSERT_EQ((manager.*text.set)(text.value).getCode(), R::UA_S_OK) << text.property;
    ASSERT_EQ(manager.SetSMTPServerPort(587).getCode(), R::UA_S_OK);

    const std::string persisted = Sim::ConfigurationData::exportText(state());
    for (const Text& text : texts) {
        EXPECT_EQ(storedSetting(Sim::SettingId::ExternalConnections, text.property),
                  Sim::CimJson::valueToJson(cim::CIMValue(text.value)));
        EXPECT_NE(persisted.find(text.value), std::string::npos) << text.property;
    }
    // The facade's cache follows the array's modification indications, which arrive after
    // the writes; once the last one is in, every setting reads as written.
    EXPECT_TRUE(eventually([&] {
        for (const Text& text : texts) {
            std::string read;
            if ((manager.*text.get)(read).isFailure() || read != text.value)
                return false;
        }
        std::uint16_t readPort = 0;
        return !manager.GetSMTPServerPort(readPort).isFailure() && readPort == 587;
    }));

    ASSERT_EQ(manager.TestSendNotification().getCode(), R::UA_S_OK);
    EXPECT_TRUE(control().lastCall("TestEmailSnmpNotifications").has_value());
}

// ---- users ------------------------------------------------------------------------------------

TEST_F(AdministrationSimTest, UsersAreAddedListedAndDeleted) {
    start("127.80.3.1");
    using Users = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(users(), (Users{{"admin", "Administrator"}}));

    Service_User added;
    ASSERT_EQ(userList().AddUser("backup-op", "correct horse", "operator", added).getCode(),
              R::UA_S_OK);
    ASSERT_TRUE(added.IsValid());
    std::string name;
    ASSERT_EQ(added.GetName(name).getCode(), R::UA_S_OK);
    EXPECT_EQ(name, "backup-op");
    EXPECT_EQ(users(), (Users{{"admin", "Administrator"}, {"backup-op", "Operator"}}));
    const Sim::SimAccount* stored = nullptr;
    const Sim::ArrayState truth = state();
    stored = truth.findAccountByUser("backup-op");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->password, "correct horse");

    ASSERT_EQ(added.Delete().getCode(), R::UA_S_OK);
    EXPECT_EQ(users(), (Users{{"admin", "Administrator"}}));
    EXPECT_EQ(state().findAccountByUser("backup-op"), nullptr);
}

TEST_F(AdministrationSimTest, TheArrayRefusesDuplicateUsersBadPasswordsAndItsLastAdministrator) {
    start("127.80.3.2");
    Service_User duplicate;
    const R refused = userList().AddUser("admin", "another password", "Monitor", duplicate);
    EXPECT_EQ(refused.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(refused.getFailureCode(),
              static_cast<std::int32_t>(Sim::ArrayFailure::ObjectAlreadyAllocated));
    EXPECT_EQ(refused.getMessage().find("Object already allocated") == std::string::npos, false)
        << refused.getMessage();
    EXPECT_FALSE(duplicate.IsValid());

    Service_User shortPassword;
    EXPECT_EQ(userList().AddUser("viewer", "short", "Monitor", shortPassword).getFailureCode(),
              static_cast<std::int32_t>(Sim::ArrayFailure::InvalidParameter));

    std::vector<Service_User> all;
    ASSERT_EQ(userList().GetUsers(all).getCode(), R::UA_S_OK);
    ASSERT_EQ(all.size(), 1u);
    const R lastAdmin = all.front().Delete();
    EXPECT_EQ(lastAdmin.getCode(), R::UA_E_REQUEST_FAILED);
    EXPECT_EQ(lastAdmin.getFailureCode(), static_cast<std::int32_t>(Sim::ArrayFailure::InvalidRequest));
    EXPECT_EQ(state().accounts.size(), 1u);
}

TEST_F(AdministrationSimTest, APasswordIsNeverReadBackNorTraced) {
    start("127.80.3.3");
    const std::string firstPassword = "Pw-first-7f3a9c";
    const std::string secondPassword = "Pw-second-51be2d";
    TraceRecorder::instance().clear();

    Service_User user;
    ASSERT_EQ(userList().AddUser("auditor", firstPassword, "Monitor", user).getCode(), R::UA_S_OK);
    ASSERT_EQ(user.SetPassword(secondPassword).getCode(), R::UA_S_OK);
    EXPECT_EQ(users().size(), 2u);
    EXPECT_EQ(state().findAccountByUser("auditor")->password, secondPassword);

    // What the array shows of the account.
    const std::string shown = control().model().read([](const Sim::ModelView& view) {
        std::string all;
        const Sim::ClassInfo* accountClass =
            Sim::ClassRegistry::instance().find(Sim::Namespaces::Storage, "Merrow_Account");
        for (const Sim::StoredObject* object : view.storage.enumerate(*accountClass)) {
            for (const cim::CIMProperty& property : object->instance->getProperties())
                all += property.getValue().toString() + "\n";
        }
        return all;
    });
    EXPECT_NE(shown.find("auditor"), std::string::npos);
    EXPECT_EQ(shown.find(firstPassword), std::string::npos);
    EXPECT_EQ(shown.find(secondPassword), std::string::npos);

    EXPECT_GT(TraceRecorder::instance().countContaining("auditor"), 0u)
        << "the recorder sees the user agent's traces";
    EXPECT_EQ(TraceRecorder::instance().countContaining(firstPassword), 0u);
    EXPECT_EQ(TraceRecorder::instance().countContaining(secondPassword), 0u);
}

TEST_F(AdministrationSimTest, ANewAccountLogsInAndWrongCredentialsAreRecorded) {
    start("127.80.3.4");
    Service_User user;
    ASSERT_EQ(userList().AddUser("ops-login", "ops password 1", "Operator", user).getCode(),
              R::UA_S_OK);

    MerrowUserAgent otherRoot(true);
    CorvaneConnection other = otherRoot.GetConnection(m_array->address());
    EXPECT_EQ(other.Connect("ops-login", "not the password").getCode(), R::UA_E_ACCESSDENIED);
    EXPECT_EQ(other.Connect("ops-login", "ops password 1").getCode(), R::UA_S_OK);
    EXPECT_EQ(other.Logoff().getCode(), R::UA_S_OK);

    const std::optional<EventSeen> refused =
        eventMentioning(events(eventHistory()), "'ops-login' refused");
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->category, "Security");
    EXPECT_EQ(refused->message.find("not the password"), std::string::npos);

    ASSERT_EQ(user.Delete().getCode(), R::UA_S_OK);
    EXPECT_EQ(other.Connect("ops-login", "ops password 1").getCode(), R::UA_E_ACCESSDENIED)
        << "a deleted account no longer logs in";
}

// ---- event history ----------------------------------------------------------------------------

TEST_F(AdministrationSimTest, ANewVolumeShowsInTheHistoryAndClearLogEmptiesIt) {
    start("127.80.4.1");
    EXPECT_FALSE(eventMentioning(events(eventHistory()), "'journal'").has_value());

    Service_DiskList diskList;
    ASSERT_EQ(m_system.GetServiceDiskList(diskList).getCode(), R::UA_S_OK);
    std::vector<Service_Disk> disks;
    ASSERT_EQ(diskList.GetDisks(disks).getCode(), R::UA_S_OK);
    ASSERT_FALSE(disks.empty());
    Service_Volume volume;
    ASSERT_EQ(m_system
                  .CreateVolume("journal", 1ull << 30, UAEnums::VolumeCompositionName(1),
                                {disks.front()}, 1, 65536, volume)
                  .getCode(),
              R::UA_S_OK);

    // A new facade reads the array afresh; the first one learns of new records from
    // indications, which may still be on their way.
    Service_EventHistory history = eventHistory();
    const std::vector<EventSeen> afterCreate = events(history);
    const std::optional<EventSeen> created = eventMentioning(afterCreate, "'journal'");
    ASSERT_TRUE(created.has_value());
    EXPECT_EQ(created->category, "Volume");
    EXPECT_EQ(created->severity, 2u);
    EXPECT_NE(created->message.find("created"), std::string::npos);
    EXPECT_GT(created->time.getMilliseconds(), 0u);
    EXPECT_EQ(afterCreate.size(), state().events.size());

    ASSERT_EQ(history.ClearLog().getCode(), R::UA_S_OK);
    EXPECT_TRUE(events(history).empty());
    EXPECT_TRUE(state().events.empty());
}

TEST_F(AdministrationSimTest, AControllerTakeOverIsRecordedAsADegradedEvent) {
    start("127.80.4.2");
    Service_EventHistory history = eventHistory();
    std::uint64_t maxEvents = 0;
    ASSERT_EQ(history.GetMaxEvents(maxEvents).getCode(), R::UA_S_OK);
    EXPECT_EQ(maxEvents, Sim::EventLog::kMaxRecords);
    EXPECT_TRUE(events(history).empty());

    control().failover();
    const std::optional<EventSeen> takeOver = eventMentioning(events(eventHistory()), "took over");
    ASSERT_TRUE(takeOver.has_value());
    EXPECT_EQ(takeOver->category, "Controller");
    EXPECT_EQ(takeOver->severity, 3u);
}

} // namespace
} // namespace Merrow::UserAgent
