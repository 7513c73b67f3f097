// The array's administration objects: system policy, external connections, accounts and the
// event history, as CIM clients see them and as the array keeps them.

#include "SimTestSupport.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/ArrayStateJson.h"
#include "sim/ConfigurationData.h"
#include "sim/EventLog.h"
#include "sim/InstanceBuilder.h"

#include <gtest/gtest.h>

namespace Merrow::Sim {
namespace {

using namespace Testing;
using cim::CIMValue;

const cim::CIMObjectPath kAccounts = servicePath("Merrow_AccountManagementService");

cim::CIMInstance single(SimulatedArray& array, const char* className)
{
    const auto instances = enumerate(array, className);
    EXPECT_EQ(instances.size(), 1u) << className;
    return instances.empty() ? cim::CIMInstance() : instances.front();
}

cim::CIMResponse modify(SimulatedArray& array, const char* className, const char* property, CIMValue value)
{
    cim::CIMInstance instance = single(array, className);
    instance.setPropertyValue(property, std::move(value));
    return array.send(intrinsic("ModifyInstance", {param("ModifiedInstance", CIMValue(instance))}));
}

cim::CIMResponse createAccount(SimulatedArray& array, const std::string& user, const std::string& password,
                               const std::string& role)
{
    return array.send(invoke(kAccounts, "CreateAccount",
                             {param("UserID", CIMValue(user)), param("Password", CIMValue(password)),
                              param("Role", CIMValue(role))}));
}

cim::CIMObjectPath created(SimulatedArray& array, cim::CIMInstance instance)
{
    const auto response = array.send(intrinsic("CreateInstance", {param("NewInstance", CIMValue(std::move(instance)))}));
    EXPECT_EQ(statusOf(response), 0);
    return response.paths.at(0);
}

// Creation indications of every class go to the array's sink.
void subscribeToCreations(SimulatedArray& array)
{
    const cim::CIMObjectPath handler = created(array, InstanceBuilder("CIM_IndicationHandlerCIMXML")
                                                          .set("SystemCreationClassName", "CIM_ComputerSystem")
                                                          .set("CreationClassName", "CIM_IndicationHandlerCIMXML")
                                                          .set("Name", "events")
                                                          .set("PersistenceType", CIMValue(std::uint16_t{2}))
                                                          .set("Destination", "http://127.0.0.1:5999/CIMListener/events")
                                                          .build());
    const cim::CIMObjectPath filter = created(array, InstanceBuilder("CIM_IndicationFilter")
                                                         .set("SystemCreationClassName", "CIM_ComputerSystem")
                                                         .set("CreationClassName", "CIM_IndicationFilter")
                                                         .set("Name", "creations")
                                                         .set("SourceNamespace", Namespaces::Storage)
                                                         .set("Query", "SELECT * FROM CIM_InstCreation")
                                                         .set("QueryLanguage", "WQL")
                                                         .build());
    created(array, InstanceBuilder("CIM_IndicationSubscription")
                       .set("Filter", CIMValue(filter))
                       .set("Handler", CIMValue(handler))
                       .set("SubscriptionState", CIMValue(std::uint16_t{2}))
                       .build());
    array.sink.take();
}

std::uint16_t u16(const cim::CIMInstance& instance, const char* property)
{
    return instance.getPropertyValue(property).get<std::uint16_t>();
}

TEST(SystemPolicy, OnlyChoosablePoliciesAreAcceptedAndTheyPersist)
{
    SimulatedArray array;
    EXPECT_EQ(u16(single(array, "Merrow_SystemPolicySettings"), "BatteryPolicy"), 3u);
    for (std::uint16_t refused : {0, 1, 6})
        EXPECT_NE(statusOf(modify(array, "Merrow_SystemPolicySettings", "BatteryPolicy", CIMValue(refused))), 0) << refused;
    EXPECT_NE(statusOf(modify(array, "Merrow_SystemPolicySettings", "FailoverPolicy", CIMValue(std::uint16_t{0}))), 0);
    ASSERT_EQ(statusOf(modify(array, "Merrow_SystemPolicySettings", "BatteryState", CIMValue(std::uint16_t{5}))), 0);
    EXPECT_EQ(u16(single(array, "Merrow_SystemPolicySettings"), "BatteryState"), 4u)
        << "the battery's state is the battery's, not a setting";

    ASSERT_EQ(statusOf(modify(array, "Merrow_SystemPolicySettings", "BatteryPolicy", CIMValue(std::uint16_t{4}))), 0);
    ASSERT_EQ(statusOf(modify(array, "Merrow_SystemPolicySettings", "FailoverPolicy", CIMValue(std::uint16_t{1}))), 0);
    const cim::CIMInstance policy = single(array, "Merrow_SystemPolicySettings");
    EXPECT_EQ(u16(policy, "BatteryPolicy"), 4u);
    EXPECT_EQ(u16(policy, "FailoverPolicy"), 1u);

    // A restart from the state file and the configuration the array exports both keep it.
    const ArrayState restarted = ArrayStateJson::fromJson(nlohmann::json::parse(array.model.stateText()));
    EXPECT_EQ(restarted.system.settings.at(SettingId::SystemPolicy).at("BatteryPolicy"),
              ArrayStateJson::toJson(restarted).at("system").at("settings").at(SettingId::SystemPolicy).at("BatteryPolicy"));
    const std::string exported = array.model.read([](const ModelView& view) { return ConfigurationData::exportText(view.state); });
    EXPECT_NE(exported.find("FailoverPolicy"), std::string::npos);
}

TEST(ExternalConnections, SettingsAreWritableAndHangOffTheSystem)
{
    SimulatedArray array;
    EXPECT_NE(statusOf(modify(array, "Merrow_ExternalConnectionsSettings", "NTPServerAddress", CIMValue("ntp server"))), 0);
    EXPECT_NE(statusOf(modify(array, "Merrow_ExternalConnectionsSettings", "SyslogServerAddress", CIMValue(".example"))), 0);
    EXPECT_NE(statusOf(modify(array, "Merrow_ExternalConnectionsSettings", "EmailRecipientAddress", CIMValue("ops.example.org"))), 0);
    EXPECT_EQ(stringOf(single(array, "Merrow_ExternalConnectionsSettings"), "NTPServerAddress"), "");
    ASSERT_EQ(statusOf(modify(array, "Merrow_ExternalConnectionsSettings", "EmailRecipientAddress", CIMValue("ops@example.org"))), 0);
    ASSERT_EQ(statusOf(modify(array, "Merrow_ExternalConnectionsSettings", "NTPServerAddress", CIMValue("192.0.2.123"))), 0);
    EXPECT_EQ(stringOf(single(array, "Merrow_ExternalConnectionsSettings"), "NTPServerAddress"), "192.0.2.123");
    const auto system = enumerate(array, "CIM_ComputerSystem").at(0).getPath();
    const auto settings = walk(array, system, {{"CIM_ElementSettingData", "Merrow_ExternalConnectionsSettings"}});
    EXPECT_EQ(settings.size(), 1u);
}

TEST(Accounts, CreateFindSetPasswordAndDelete)
{
    SimulatedArray array;
    const auto created = createAccount(array, "operator1", "long enough", "operator");
    ASSERT_EQ(returnValue(created), ArrayFailure::Ok);
    const cim::CIMObjectPath account = outParam(created, "Account")->get<cim::CIMObjectPath>();

    const auto system = enumerate(array, "CIM_ComputerSystem").at(0).getPath();
    const auto onSystem = walk(array, system, {{"CIM_AccountOnSystem", "Merrow_Account"}});
    ASSERT_EQ(onSystem.size(), 2u) << "the factory administrator and the new account";
    const auto instance = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(account))})).instances.at(0);
    EXPECT_EQ(stringOf(instance, "UserID"), "operator1");
    EXPECT_EQ(stringOf(instance, "Role"), "Operator");
    EXPECT_EQ(stringOf(instance, "UserPassword"), "");

    EXPECT_EQ(returnValue(array.send(invoke(kAccounts, "SetAccountPassword",
                                            {param("Account", CIMValue(account)), param("Password", CIMValue("short"))}))),
              ArrayFailure::InvalidParameter);
    EXPECT_EQ(returnValue(array.send(invoke(kAccounts, "SetAccountPassword",
                                            {param("Account", CIMValue(account)), param("Password", CIMValue("much longer now"))}))),
              ArrayFailure::Ok);
    const ArrayState restarted = ArrayStateJson::fromJson(nlohmann::json::parse(array.model.stateText()));
    ASSERT_NE(restarted.findAccountByUser("operator1"), nullptr);
    EXPECT_EQ(restarted.findAccountByUser("operator1")->password, "much longer now");

    EXPECT_EQ(returnValue(array.send(invoke(kAccounts, "DeleteAccount", {param("Account", CIMValue(account))}))),
              ArrayFailure::Ok);
    EXPECT_EQ(returnValue(array.send(invoke(kAccounts, "DeleteAccount", {param("Account", CIMValue(account))}))),
              ArrayFailure::ObjectNotFound);
    EXPECT_EQ(enumerate(array, "Merrow_Account").size(), 1u);
}

TEST(Accounts, RefusesBadNamesRolesAndDuplicates)
{
    SimulatedArray array;
    EXPECT_EQ(returnValue(createAccount(array, "", "long enough", "Monitor")), ArrayFailure::InvalidParameter);
    EXPECT_EQ(returnValue(createAccount(array, "has space", "long enough", "Monitor")), ArrayFailure::InvalidParameter);
    EXPECT_EQ(returnValue(createAccount(array, "viewer", "long enough", "Superuser")), ArrayFailure::InvalidParameter);
    EXPECT_EQ(returnValue(createAccount(array, "admin", "long enough", "Monitor")), ArrayFailure::ObjectAlreadyAllocated);
    EXPECT_EQ(enumerate(array, "Merrow_Account").size(), 1u);
}

TEST(Accounts, TravelWithTheConfigurationAndAFactoryResetLeavesOnlyTheFactoryAdministrator)
{
    SimulatedArray array;
    ASSERT_EQ(returnValue(createAccount(array, "keeper", "long enough", "Monitor")), ArrayFailure::Ok);
    const cim::CIMObjectPath storage = servicePath("Merrow_StorageConfigurationService");
    const auto read = array.send(invoke(storage, "ReadPersistenceData"));
    const std::string saved = outParam(read, "Data")->get<std::string>();
    EXPECT_NE(saved.find("keeper"), std::string::npos);
    EXPECT_NE(saved.find("long enough"), std::string::npos) << "the array restores passwords too";

    auto write = [&](const std::string& data, std::uint16_t setting) {
        return returnValue(array.send(invoke(storage, "WritePersistenceData",
                                             {param("Data", CIMValue(data)), param("PersistenceSetting", CIMValue(setting))})));
    };
    EXPECT_EQ(write("", PersistenceSetting::FactoryDefault), ConfigurationData::kAppliedRestartNeeded);
    auto accounts = enumerate(array, "Merrow_Account");
    ASSERT_EQ(accounts.size(), 1u);
    EXPECT_EQ(stringOf(accounts[0], "UserID"), "admin");

    // The reset took the volumes too, so bringing them back needs a restart.
    EXPECT_EQ(write(saved, PersistenceSetting::Replace), ConfigurationData::kAppliedRestartNeeded);
    EXPECT_EQ(enumerate(array, "Merrow_Account").size(), 2u);
}

TEST(EventHistory, ChangesOnTheArrayAddRecordsThatClientsAreToldOf)
{
    SimulatedArray array;
    subscribeToCreations(array);
    std::string volumeId;
    ASSERT_EQ(array.control.addVolume("events", 1ull << 30, volumeId), ControlResult::Ok);
    ASSERT_EQ(array.control.removeVolume(volumeId), ControlResult::Ok);
    array.control.failover();
    const std::vector<std::string> added = array.control.addDisks(1);
    ASSERT_EQ(array.control.removeDisk(added.at(0)), ControlResult::Ok);

    const auto records = enumerate(array, "CIM_LogRecord");
    std::vector<std::string> categories;
    for (const cim::CIMInstance& record : records)
        categories.push_back(stringOf(record, "Merrow_Category"));
    EXPECT_EQ(categories, (std::vector<std::string>{"Volume", "Volume", "Controller", "Disk", "Disk"}));
    EXPECT_NE(stringOf(records.at(1), "Merrow_Message").find("'events'"), std::string::npos);
    EXPECT_EQ(u16(records.at(2), "PerceivedSeverity"), EventSeverity::Degraded);

    std::size_t recordCreations = 0;
    for (const IndicationDelivery& delivery : array.sink.take()) {
        const auto& source = delivery.indication->getPropertyValue("SourceInstance").get<cim::CIMInstance>();
        if (source.getClassName() == cim::CIMName("CIM_LogRecord"))
            ++recordCreations;
    }
    EXPECT_EQ(recordCreations, records.size());

    const cim::CIMInstance log = single(array, "CIM_RecordLog");
    EXPECT_EQ(log.getPropertyValue("CurrentNumberOfRecords").get<std::uint64_t>(), records.size());
    EXPECT_EQ(walk(array, log.getPath(), {{"CIM_LogManagesRecord", "CIM_LogRecord"}}).size(), records.size());
}

TEST(EventHistory, KeepsTheNewestRecordsAndClearLogEmptiesIt)
{
    SimulatedArray array;
    const std::size_t extra = 7;
    array.model.update([&](ModelTransaction& transaction) {
        for (std::size_t i = 0; i < EventLog::kMaxRecords + extra; ++i)
            EventLog::record(transaction, EventSeverity::Information, EventCategory::Task, "event " + std::to_string(i));
    });
    const auto records = enumerate(array, "CIM_LogRecord");
    ASSERT_EQ(records.size(), EventLog::kMaxRecords);
    EXPECT_EQ(stringOf(records.front(), "Merrow_Message"), "event " + std::to_string(extra));
    EXPECT_EQ(stringOf(records.back(), "Merrow_Message"), "event " + std::to_string(EventLog::kMaxRecords + extra - 1));

    const cim::CIMObjectPath log = single(array, "CIM_RecordLog").getPath();
    ASSERT_EQ(returnValue(array.send(invoke(log, "ClearLog"))), ArrayFailure::Ok);
    EXPECT_TRUE(enumerate(array, "CIM_LogRecord").empty());
    EXPECT_EQ(single(array, "CIM_RecordLog").getPropertyValue("CurrentNumberOfRecords").get<std::uint64_t>(), 0u);
}

} // namespace
} // namespace Merrow::Sim
