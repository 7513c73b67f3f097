#include "SimTestSupport.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/ConfigurationData.h"
#include "sim/InstanceBuilder.h"

#include "cim/value/CIMObject.h"

namespace Merrow::Sim {
namespace {

using namespace Testing;
using cim::CIMValue;

const cim::CIMObjectPath kService = servicePath("Merrow_StorageConfigurationService");

cim::CIMResponse create(SimulatedArray& array, cim::CIMInstance instance)
{
    return array.send(intrinsic("CreateInstance", {param("NewInstance", CIMValue(std::move(instance)))}));
}

cim::CIMObjectPath createHandler(SimulatedArray& array, const std::string& name, const std::string& destination)
{
    const auto response = create(array, InstanceBuilder("CIM_IndicationHandlerCIMXML")
                                            .set("SystemCreationClassName", "CIM_ComputerSystem")
                                            .set("CreationClassName", "CIM_IndicationHandlerCIMXML")
                                            .set("Name", name)
                                            .set("PersistenceType", CIMValue(std::uint16_t{2}))
                                            .set("Destination", destination)
                                            .build());
    EXPECT_EQ(statusOf(response), 0);
    return response.paths.at(0);
}

cim::CIMResponse createFilter(SimulatedArray& array, const std::string& name, const std::string& query,
                              const char* language = "WQL")
{
    return create(array, InstanceBuilder("CIM_IndicationFilter")
                             .set("SystemCreationClassName", "CIM_ComputerSystem")
                             .set("CreationClassName", "CIM_IndicationFilter")
                             .set("Name", name)
                             .set("SourceNamespace", Namespaces::Storage)
                             .set("Query", query)
                             .set("QueryLanguage", language)
                             .build());
}

cim::CIMResponse subscribe(SimulatedArray& array, const cim::CIMObjectPath& filter, const cim::CIMObjectPath& handler,
                           std::uint16_t state = 2)
{
    return create(array, InstanceBuilder("CIM_IndicationSubscription")
                             .set("Filter", CIMValue(filter))
                             .set("Handler", CIMValue(handler))
                             .set("SubscriptionState", CIMValue(state))
                             .build());
}

class Indications : public testing::Test {
protected:
    void SetUp() override
    {
        handler = createHandler(array, "h1", "http://127.0.0.1:5999/CIMListener/array");
        for (const char* query :
             {"SELECT * FROM CIM_InstCreation", "SELECT * FROM CIM_InstDeletion", "SELECT * FROM CIM_InstModification"}) {
            const auto filter = createFilter(array, std::string("f-") + query, query);
            ASSERT_EQ(statusOf(filter), 0);
            ASSERT_EQ(statusOf(subscribe(array, filter.paths.at(0), handler)), 0);
        }
        array.sink.take();
    }

    std::vector<cim::CIMInstance> indicationsFor(const char* sourceClass)
    {
        std::vector<cim::CIMInstance> found;
        for (const IndicationDelivery& delivery : array.sink.take()) {
            const auto& source = delivery.indication->getPropertyValue("SourceInstance").get<cim::CIMInstance>();
            if (source.getClassName() == cim::CIMName(sourceClass))
                found.push_back(*delivery.indication);
        }
        return found;
    }

    SimulatedArray array;
    cim::CIMObjectPath handler;
};

TEST_F(Indications, CreationModificationAndDeletionReachTheHandler)
{
    const auto created = array.send(invoke(kService, "CreateVolume",
                                           {param("ElementName", CIMValue("watched")), param("Size", CIMValue(std::uint64_t{1} << 30)),
                                            param("VolumeOrganization", CIMValue(std::uint16_t{1}))}));
    ASSERT_EQ(returnValue(created), ArrayFailure::Ok);
    auto volumes = indicationsFor("CIM_StorageVolume");
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].getClassName(), cim::CIMName("CIM_InstCreation"));
    const auto modelPath = cim::CIMObjectPath::parse(volumes[0].getPropertyValue("SourceInstanceModelPath").get<std::string>());
    EXPECT_EQ(modelPath.getNameSpace(), cim::CIMNamespaceName(Namespaces::Storage));
    EXPECT_EQ(modelPath.getHost(), "127.0.0.9");
    EXPECT_TRUE(outParam(created, "StorageVolume")->get<cim::CIMObjectPath>().findKeyBinding("DeviceID")->sameValue(
        *modelPath.findKeyBinding("DeviceID")));

    const auto volumePath = outParam(created, "StorageVolume")->get<cim::CIMObjectPath>();
    auto instance = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(volumePath))})).instances.at(0);
    instance.setPath(volumePath);
    instance.setPropertyValue("ElementName", CIMValue("renamed"));
    ASSERT_EQ(statusOf(array.send(intrinsic("ModifyInstance", {param("ModifiedInstance", CIMValue(instance))}))), 0);
    volumes = indicationsFor("CIM_StorageVolume");
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].getClassName(), cim::CIMName("CIM_InstModification"));
    EXPECT_EQ(stringOf(volumes[0].getPropertyValue("PreviousInstance").get<cim::CIMInstance>(), "ElementName"), "watched");
    EXPECT_EQ(stringOf(volumes[0].getPropertyValue("SourceInstance").get<cim::CIMInstance>(), "ElementName"), "renamed");

    ASSERT_EQ(returnValue(array.send(invoke(kService, "ReturnToStoragePool", {param("TheElement", CIMValue(volumePath))}))),
              ArrayFailure::Ok);
    volumes = indicationsFor("CIM_StorageVolume");
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].getClassName(), cim::CIMName("CIM_InstDeletion"));
}

TEST_F(Indications, DeletingAnEndedJobPostsItsDeletion)
{
    const auto scan = array.send(invoke(kService, "ScanStorageElement",
                                        {param("ScanType", CIMValue(std::uint16_t{2})),
                                         param("StorageElement", CIMValue(cim::CIMObjectPath(
                                             "", Namespaces::Storage, "CIM_StorageVolume",
                                             {cim::CIMKeyBinding("DeviceID", CIMValue("3a000001"))})))}));
    ASSERT_EQ(returnValue(scan), ArrayFailure::JobStarted);
    const auto job = outParam(scan, "Job")->get<cim::CIMObjectPath>();
    ASSERT_EQ(returnValue(array.send(invoke(kService, "AbortTask", {param("Job", CIMValue(job))}))), ArrayFailure::Ok);
    auto jobs = indicationsFor("CIM_ConcreteJob");
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[1].getClassName(), cim::CIMName("CIM_InstModification"));

    ASSERT_EQ(returnValue(array.send(invoke(kService, "DeleteTask", {param("Job", CIMValue(job))}))), ArrayFailure::Ok);
    jobs = indicationsFor("CIM_ConcreteJob");
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].getClassName(), cim::CIMName("CIM_InstDeletion"));
    EXPECT_EQ(stringOf(jobs[0].getPropertyValue("SourceInstance").get<cim::CIMInstance>(), "InstanceID"),
              job.findKeyBinding("InstanceID")->getValue());
}

TEST_F(Indications, AssociationsAreReportedToo)
{
    std::string id;
    ASSERT_EQ(array.control.addVolume("behind the back", 1 << 20, id), ControlResult::Ok);
    EXPECT_EQ(indicationsFor("CIM_SystemDevice").size(), 2u);
}

TEST_F(Indications, IdentifiersCountUpInTheOrderOfTheChanges)
{
    std::string id;
    array.control.addVolume("first", 1 << 20, id);
    array.control.addVolume("second", 1 << 20, id);
    long previous = 0;
    const auto deliveries = array.sink.take();
    ASSERT_FALSE(deliveries.empty());
    for (const auto& delivery : deliveries) {
        const long identifier = std::stol(stringOf(*delivery.indication, "IndicationIdentifier"));
        EXPECT_GT(identifier, previous);
        previous = identifier;
    }
}

TEST_F(Indications, FiltersNarrowBySourceClassAndDisabledSubscriptionsStaySilent)
{
    SimulatedArray other;
    const auto otherHandler = createHandler(other, "h", "http://127.0.0.1:5999/x");
    const auto volumesOnly = createFilter(other, "f", "SELECT * FROM CIM_InstIndication WHERE SourceInstance ISA CIM_StorageVolume");
    ASSERT_EQ(statusOf(volumesOnly), 0);
    const auto disabled = createFilter(other, "g", "SELECT * FROM CIM_Indication");
    ASSERT_EQ(statusOf(subscribe(other, volumesOnly.paths.at(0), otherHandler)), 0);
    ASSERT_EQ(statusOf(subscribe(other, disabled.paths.at(0), otherHandler, 4)), 0);
    other.sink.take();
    std::string id;
    other.control.addVolume("v", 1 << 20, id);
    const auto deliveries = other.sink.take();
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].indication->getPropertyValue("SourceInstance").get<cim::CIMInstance>().getClassName(),
              cim::CIMName("CIM_StorageVolume"));
    EXPECT_EQ(deliveries[0].port, 5999);
    EXPECT_EQ(deliveries[0].target, "/x");
}

TEST_F(Indications, SubscriptionObjectsRefuseDuplicatesAndBadContent)
{
    EXPECT_EQ(statusOf(createFilter(array, "f-SELECT * FROM CIM_InstCreation", "SELECT * FROM CIM_InstCreation")), 11);
    EXPECT_EQ(statusOf(createFilter(array, "x", "SELECT * FROM CIM_InstCreation", "SQL")), 14);
    EXPECT_EQ(statusOf(createFilter(array, "y", "SELECT Name FROM CIM_StorageVolume")), 15);
    const auto filters = array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", CIMValue("CIM_IndicationFilter"))}));
    ASSERT_EQ(filters.paths.size(), 3u);
    EXPECT_EQ(statusOf(subscribe(array, filters.paths[0], handler)), 11);
    EXPECT_EQ(statusOf(create(array, InstanceBuilder("CIM_IndicationHandlerCIMXML").set("Name", "z").set("Destination", "ftp://x").build())), 4);
    // A filter that a subscription uses stays until the subscription goes.
    EXPECT_EQ(statusOf(array.send(intrinsic("DeleteInstance", {param("InstanceName", CIMValue(filters.paths[0]))}))), 1);
    const auto subscriptions =
        array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", CIMValue("CIM_IndicationSubscription"))}));
    ASSERT_EQ(subscriptions.paths.size(), 3u);
    for (const auto& path : subscriptions.paths)
        EXPECT_EQ(statusOf(array.send(intrinsic("DeleteInstance", {param("InstanceName", CIMValue(path))}))), 0);
    EXPECT_EQ(statusOf(array.send(intrinsic("DeleteInstance", {param("InstanceName", CIMValue(filters.paths[0]))}))), 0);
    EXPECT_EQ(statusOf(array.send(intrinsic("DeleteInstance", {param("InstanceName", CIMValue(filters.paths[0]))}))), 6);
}

std::string readPersistence(SimulatedArray& array)
{
    const auto response = array.send(invoke(kService, "ReadPersistenceData"));
    EXPECT_EQ(returnValue(response), ArrayFailure::Ok);
    return outParam(response, "Data")->get<std::string>();
}

std::uint32_t writePersistence(SimulatedArray& array, const std::string& data, std::uint16_t setting)
{
    return returnValue(array.send(invoke(kService, "WritePersistenceData",
                                         {param("Data", CIMValue(data)), param("PersistenceSetting", CIMValue(setting))})));
}

TEST(PersistenceData, FactoryResetThenRestoreBringsTheConfigurationBack)
{
    SimulatedArray array;
    std::string id;
    ASSERT_EQ(array.control.addVolume("saved", 1 << 20, id), ControlResult::Ok);
    const std::string saved = readPersistence(array);

    EXPECT_EQ(writePersistence(array, "", PersistenceSetting::FactoryDefault), ConfigurationData::kAppliedRestartNeeded);
    EXPECT_TRUE(enumerate(array, "CIM_StorageVolume").empty());
    EXPECT_TRUE(enumerate(array, "CIM_StorageHardwareID").empty());

    // The volumes come back, which the array sets up only when it starts.
    EXPECT_EQ(writePersistence(array, saved, PersistenceSetting::Replace), ConfigurationData::kAppliedRestartNeeded);
    const auto volumes = enumerate(array, "CIM_StorageVolume");
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(stringOf(volumes[2], "ElementName"), "saved");
    EXPECT_EQ(enumerate(array, "CIM_StorageHardwareID").size(), 2u);
    // Everything but the id counters, which never go back.
    auto withoutCounters = [](const std::string& text) {
        auto json = nlohmann::json::parse(text);
        json.erase("nextId");
        return json;
    };
    EXPECT_EQ(withoutCounters(readPersistence(array)), withoutCounters(saved));
}

TEST(PersistenceData, RefusesDataItCannotUse)
{
    SimulatedArray array;
    const std::string saved = readPersistence(array);
    EXPECT_EQ(writePersistence(array, "not a configuration", PersistenceSetting::Replace), ArrayFailure::BadMessageFormat);
    EXPECT_EQ(writePersistence(array, saved, 9), ArrayFailure::InvalidParameter);

    SimulatedArray elsewhere(
        [] {
            auto options = smallArray();
            options.address = "127.0.0.10";
            return options;
        }());
    EXPECT_EQ(writePersistence(elsewhere, saved, PersistenceSetting::ConditionalReplace), ArrayFailure::InvalidRequest);
    EXPECT_EQ(writePersistence(elsewhere, saved, PersistenceSetting::Replace), ConfigurationData::kAppliedRestartNeeded);

    auto tooBig = nlohmann::json::parse(saved);
    tooBig["volumes"][0]["layout"]["extents"][0]["blocks"] = 1ull << 40;
    EXPECT_EQ(writePersistence(array, tooBig.dump(), PersistenceSetting::Replace), ArrayFailure::InvalidParameter);
}

TEST(PersistenceData, ChangesTheRunningArrayTakesNeedNoRestart)
{
    SimulatedArray array;
    const std::string saved = readPersistence(array);
    EXPECT_EQ(writePersistence(array, saved, PersistenceSetting::Replace), ConfigurationData::kApplied);

    auto renamed = nlohmann::json::parse(saved);
    renamed["name"] = "renamed-array";
    renamed["initiators"] = nlohmann::json::array();
    renamed["grants"] = nlohmann::json::array();
    EXPECT_EQ(writePersistence(array, renamed.dump(), PersistenceSetting::ConditionalReplace), ConfigurationData::kApplied);
    EXPECT_TRUE(enumerate(array, "CIM_StorageHardwareID").empty());

    std::string id;
    ASSERT_EQ(array.control.addVolume("made-after-the-save", 1 << 20, id), ControlResult::Ok);
    EXPECT_EQ(writePersistence(array, saved, PersistenceSetting::Replace), ConfigurationData::kAppliedRestartNeeded);
    EXPECT_EQ(enumerate(array, "CIM_StorageVolume").size(), 2u);
    EXPECT_EQ(enumerate(array, "CIM_StorageHardwareID").size(), 2u);
}

TEST(PersistenceData, ChangedManagementPortAsksForARestart)
{
    SimulatedArray array;
    auto data = nlohmann::json::parse(readPersistence(array));
    data["settings"]["Merrow:OutbandPort"]["HostName"] = {{"type", "string"}, {"array", false}, {"value", "renamed-host"}};
    EXPECT_EQ(writePersistence(array, data.dump(), PersistenceSetting::Replace), ConfigurationData::kAppliedRestartNeeded);
    EXPECT_EQ(stringOf(enumerate(array, "Merrow_SystemSettingsNetworkOutbandPort").at(0), "HostName"), "renamed-host");
}

TEST(SystemMethods, FailoverChangesTheSlotTheProbeSees)
{
    SimulatedArray array;
    auto slot = [&] { return enumerate(array, "Merrow_PingObject").at(0).getPropertyValue("SlotId").get<std::uint16_t>(); };
    EXPECT_EQ(slot(), 1);
    EXPECT_EQ(returnValue(array.send(invoke(kService, "ForceControllerFailover"))), ArrayFailure::Ok);
    EXPECT_EQ(slot(), 2);
    array.control.failover();
    EXPECT_EQ(slot(), 1);
}

TEST(SystemMethods, FirmwareVersionIsSettableBehindTheClientsBack)
{
    SimulatedArray array;
    EXPECT_EQ(stringOf(enumerate(array, "Merrow_FirmwareImagesInfo").at(0), "ActiveImageVersion"), "2.8.2.2");
    array.control.setFirmwareVersion("2.4.9.1");
    for (const auto& image : enumerate(array, "Merrow_FirmwareImagesInfo"))
        EXPECT_EQ(stringOf(image, "ActiveImageVersion"), "2.4.9.1");
}

} // namespace
} // namespace Merrow::Sim
