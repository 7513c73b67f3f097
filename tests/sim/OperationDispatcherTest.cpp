#include "SimTestSupport.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/JobControl.h"

#include "cim/value/CIMException.h"
#include "cim/xml/CIMXmlCodec.h"

namespace Merrow::Sim {
namespace {

using namespace Testing;
using cim::CIMValue;

cim::CIMObjectPath volumePath(SimulatedArray& array, std::size_t index = 0)
{
    return array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", CIMValue("CIM_StorageVolume"))})).paths.at(index);
}

struct ErrorCase {
    const char* description;
    cim::CIMRequest request;
    int status;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.description; }

class DispatcherErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(DispatcherErrors, AnswersTheRightStatus)
{
    SimulatedArray array;
    EXPECT_EQ(statusOf(array.send(GetParam().request)), GetParam().status) << GetParam().description;
}

cim::CIMRequest withNamespace(cim::CIMRequest request, const char* nameSpace)
{
    request.nameSpace = nameSpace;
    return request;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, DispatcherErrors,
    testing::Values(
        ErrorCase{"unknown namespace",
                  withNamespace(intrinsic("EnumerateInstances", {param("ClassName", CIMValue("CIM_StorageVolume"))}),
                                "root/cimv2"),
                  3},
        ErrorCase{"unknown class", intrinsic("EnumerateInstances", {param("ClassName", CIMValue("CIM_NoSuchClass"))}), 5},
        ErrorCase{"class of another namespace",
                  intrinsic("EnumerateInstances", {param("ClassName", CIMValue("PG_ConfigSetting"))}), 5},
        ErrorCase{"missing instance",
                  intrinsic("GetInstance", {param("InstanceName", CIMValue(deviceIdPath("CIM_StorageVolume", "3a0000ff")))}),
                  6},
        ErrorCase{"keys that do not match", intrinsic("GetInstance", {param("InstanceName", CIMValue(cim::CIMObjectPath(
                                                                            "", Namespaces::Storage, "CIM_StorageVolume",
                                                                            {cim::CIMKeyBinding("DeviceID", CIMValue("3a000001")),
                                                                             cim::CIMKeyBinding("SystemName", CIMValue("other"))})))}),
                  6},
        ErrorCase{"unknown parameter",
                  intrinsic("EnumerateInstances", {param("ClassName", CIMValue("CIM_StorageVolume")), param("Bogus", CIMValue(true))}),
                  4},
        ErrorCase{"missing required parameter", intrinsic("GetInstance", {}), 4},
        ErrorCase{"operation not offered", intrinsic("ExecQuery", {param("Query", CIMValue("SELECT * FROM CIM_StorageVolume"))}), 7},
        ErrorCase{"class of an unknown class", intrinsic("GetClass", {param("ClassName", CIMValue("CIM_Nothing"))}), 5},
        ErrorCase{"unknown method", invoke(servicePath("Merrow_StorageConfigurationService"), "NoSuchMethod"), 17},
        ErrorCase{"method of another class", invoke(servicePath("CIM_ControllerConfigurationService"), "CreateVolume"), 17},
        ErrorCase{"unknown method parameter",
                  invoke(servicePath("Merrow_StorageConfigurationService"), "GetBasePool", {param("Bogus", CIMValue(true))}), 4},
        ErrorCase{"parameter of the wrong type",
                  invoke(servicePath("Merrow_StorageConfigurationService"), "CreateVolume", {param("Size", CIMValue(true))}), 4},
        ErrorCase{"method on a class with many instances", invoke(servicePath("CIM_StorageVolume"), "RequestStateChange"), 4},
        ErrorCase{"create an array object", intrinsic("CreateInstance", {param("NewInstance", CIMValue(cim::CIMInstance("CIM_StorageVolume")))}), 7},
        ErrorCase{"delete an array object",
                  intrinsic("DeleteInstance", {param("InstanceName", CIMValue(deviceIdPath("CIM_StorageVolume", "3a000001")))}), 7},
        ErrorCase{"association on a class", intrinsic("Associators", {param("ObjectName", CIMValue(servicePath("CIM_StorageVolume")))}), 7},
        ErrorCase{"unknown result class",
                  intrinsic("Associators", {param("ObjectName", CIMValue(deviceIdPath("CIM_StorageVolume", "3a000001"))),
                                            param("ResultClass", CIMValue("CIM_Nothing"))}),
                  4}));

TEST(Dispatcher, GetInstanceByTheIdentifyingKeyAloneAndThroughASuperclass)
{
    SimulatedArray array;
    for (const char* className : {"CIM_StorageVolume", "CIM_StorageExtent", "CIM_LogicalDevice"}) {
        const auto response = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(deviceIdPath(className, "3a000001")))}));
        ASSERT_EQ(statusOf(response), 0) << className;
        ASSERT_EQ(response.instances.size(), 1u);
        EXPECT_EQ(response.instances[0].getClassName(), cim::CIMName("CIM_StorageVolume"));
        EXPECT_EQ(stringOf(response.instances[0], "ElementName"), "vol001");
    }
}

TEST(Dispatcher, GetInstanceWithTheFullPathAndClassNameKeysInAnyCase)
{
    SimulatedArray array;
    cim::CIMObjectPath path = volumePath(array);
    std::vector<cim::CIMKeyBinding> keys;
    for (const cim::CIMKeyBinding& key : path.getKeyBindings()) {
        if (key.getName() == cim::CIMName("CreationClassName"))
            keys.emplace_back("CreationClassName", CIMValue("cim_storagevolume"));
        else
            keys.push_back(key);
    }
    path.setKeyBindings(keys);
    EXPECT_EQ(statusOf(array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(path))}))), 0);
}

TEST(Dispatcher, PropertyListKeepsOnlyTheNamedProperties)
{
    SimulatedArray array;
    const auto response = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(volumePath(array))),
                                                               param("PropertyList", CIMValue(std::vector<std::string>{
                                                                                         "ElementName", "NoSuchProperty"}))}));
    ASSERT_EQ(response.instances.size(), 1u);
    ASSERT_EQ(response.instances[0].getPropertyCount(), 1u);
    EXPECT_EQ(stringOf(response.instances[0], "ElementName"), "vol001");
}

TEST(Dispatcher, EnumerationFollowsSubclassesInCreationOrder)
{
    SimulatedArray array;
    const auto extents = enumerate(array, "CIM_StorageExtent");
    std::map<std::string, int> byClass;
    for (const auto& instance : extents)
        ++byClass[instance.getClassName().getString()];
    EXPECT_EQ(byClass["CIM_StorageExtent"], 8);
    EXPECT_EQ(byClass["CIM_StorageVolume"], 2);
    EXPECT_EQ(byClass["Merrow_LeafExtent"], 2);
    // Disks (with their extents) are created before the volumes.
    EXPECT_EQ(extents.front().getClassName(), cim::CIMName("CIM_StorageExtent"));
    EXPECT_EQ(extents.back().getClassName(), cim::CIMName("Merrow_LeafExtent"));
}

TEST(Dispatcher, AssociationClassesEnumerateAndResolveLikeInstances)
{
    SimulatedArray array;
    const auto names = array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", CIMValue("CIM_SystemDevice"))}));
    // 8 disks, 2 volumes, 2 targets, and 8 ports on both the top system and their controller.
    ASSERT_EQ(names.paths.size(), 8u + 2 + 2 + 16);
    const auto one = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(names.paths[0]))}));
    ASSERT_EQ(statusOf(one), 0);
    EXPECT_EQ(one.instances[0].getPropertyValue("GroupComponent").getType(), cim::CIMType::Reference);
    const auto dependencies = array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", CIMValue("CIM_Dependency"))}));
    EXPECT_GT(dependencies.paths.size(), names.paths.size());
}

TEST(Dispatcher, AssociationFiltersByRoleAndResultRole)
{
    SimulatedArray array;
    const auto top = array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", CIMValue("CIM_ComputerSystem"))})).paths[0];
    auto components = [&](const char* role, const char* resultRole) {
        std::vector<cim::CIMParamValue> params{param("ObjectName", CIMValue(top)),
                                               param("AssocClass", CIMValue("CIM_ComponentCS"))};
        if (role)
            params.push_back(param("Role", CIMValue(role)));
        if (resultRole)
            params.push_back(param("ResultRole", CIMValue(resultRole)));
        return array.send(intrinsic("AssociatorNames", std::move(params))).paths.size();
    };
    EXPECT_EQ(components(nullptr, nullptr), 2u);
    EXPECT_EQ(components("GroupComponent", nullptr), 2u);
    EXPECT_EQ(components("PartComponent", nullptr), 0u);
    EXPECT_EQ(components(nullptr, "PartComponent"), 2u);
    EXPECT_EQ(components(nullptr, "GroupComponent"), 0u);
}

TEST(Dispatcher, ReferencesReturnAssociationInstancesWithFullPaths)
{
    SimulatedArray array;
    const auto response = array.send(intrinsic("References", {param("ObjectName", CIMValue(volumePath(array))),
                                                              param("ResultClass", CIMValue("CIM_BasedOn"))}));
    ASSERT_EQ(statusOf(response), 0);
    ASSERT_EQ(response.objects.size(), 1u);
    EXPECT_EQ(response.objects[0].getClassName(), cim::CIMName("CIM_BasedOn"));
    EXPECT_EQ(response.objects[0].getPath().getHost(), "127.0.0.9");
    EXPECT_EQ(response.objects[0].getPath().getNameSpace(), cim::CIMNamespaceName(Namespaces::Storage));
}

TEST(Dispatcher, AssociatorsOfAMissingObjectAreEmpty)
{
    SimulatedArray array;
    const auto response = array.send(intrinsic("Associators", {param("ObjectName", CIMValue(deviceIdPath("CIM_StorageVolume", "3a0000ff")))}));
    EXPECT_EQ(statusOf(response), 0);
    EXPECT_TRUE(response.objects.empty());
}

TEST(Dispatcher, KeepAliveProbeFindsTheTraceLevelSetting)
{
    SimulatedArray array;
    const cim::CIMObjectPath path("array", Namespaces::Internal, "PG_ConfigSetting",
                                  {cim::CIMKeyBinding("PropertyName", CIMValue("traceLevel"))});
    const auto response = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(path))}, Namespaces::Internal));
    ASSERT_EQ(statusOf(response), 0);
    EXPECT_EQ(stringOf(response.instances.at(0), "PropertyName"), "traceLevel");
}

cim::CIMResponse modify(SimulatedArray& array, cim::CIMInstance instance)
{
    return array.send(intrinsic("ModifyInstance", {param("ModifiedInstance", CIMValue(std::move(instance)))}));
}

cim::CIMInstance current(SimulatedArray& array, const cim::CIMObjectPath& path)
{
    auto instance = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(path))})).instances.at(0);
    instance.setPath(path);
    return instance;
}

TEST(Dispatcher, ModifyInstanceRenamesAVolumeSentBackWhole)
{
    SimulatedArray array;
    const auto path = volumePath(array);
    auto instance = current(array, path);
    instance.setPropertyValue("ElementName", CIMValue("renamed"));
    ASSERT_EQ(statusOf(modify(array, instance)), 0);
    EXPECT_EQ(stringOf(current(array, path), "ElementName"), "renamed");
}

struct ModifyCase {
    const char* description;
    const char* property;
    CIMValue value;
    int status;
};

void PrintTo(const ModifyCase& c, std::ostream* os) { *os << c.description; }

class DispatcherModify : public testing::TestWithParam<ModifyCase> {};

TEST_P(DispatcherModify, RefusesWhatTheArrayDoesNotAccept)
{
    SimulatedArray array;
    const auto path = volumePath(array);
    auto instance = current(array, path);
    const std::size_t index = instance.findProperty(GetParam().property);
    if (index != cim::CIMPropertyContainer::npos)
        instance.removeProperty(index);
    instance.addProperty(cim::CIMProperty(GetParam().property, GetParam().value));
    EXPECT_EQ(statusOf(modify(array, instance)), GetParam().status) << GetParam().description;
    EXPECT_EQ(stringOf(current(array, path), "ElementName"), "vol001");
}

INSTANTIATE_TEST_SUITE_P(
    Volume, DispatcherModify,
    testing::Values(ModifyCase{"a property the class lacks", "Color", CIMValue("blue"), 12},
                    ModifyCase{"a value of another type", "ElementName", CIMValue(std::uint16_t{5}), 13},
                    ModifyCase{"a name another volume has", "ElementName", CIMValue("vol002"), 1},
                    ModifyCase{"an empty name", "ElementName", CIMValue(""), 4}));

cim::CIMResponse modifyNamed(SimulatedArray& array, cim::CIMInstance instance, std::vector<std::string> properties)
{
    return array.send(intrinsic("ModifyInstance", {param("ModifiedInstance", CIMValue(std::move(instance))),
                                                   param("PropertyList", CIMValue(std::move(properties)))}));
}

TEST(Dispatcher, ReadOnlyPropertiesAreIgnoredInAWholeInstanceAndRefusedWhenNamed)
{
    SimulatedArray array;
    const auto path = volumePath(array);
    auto instance = current(array, path);
    const CIMValue blocks = instance.getPropertyValue("NumberOfBlocks");
    instance.setPropertyValue("NumberOfBlocks", CIMValue(std::uint64_t{5}));
    instance.setPropertyValue("ElementName", CIMValue("renamed"));

    EXPECT_EQ(statusOf(modifyNamed(array, instance, {"NumberOfBlocks"})), 7);
    EXPECT_EQ(statusOf(modifyNamed(array, instance, {"ElementName", "NumberOfBlocks"})), 7);
    EXPECT_EQ(stringOf(current(array, path), "ElementName"), "vol001");

    ASSERT_EQ(statusOf(modify(array, instance)), 0);
    const auto after = current(array, path);
    EXPECT_EQ(stringOf(after, "ElementName"), "renamed");
    EXPECT_EQ(after.getPropertyValue("NumberOfBlocks"), blocks);
}

TEST(Dispatcher, PriorityOfARunningJobIsWrittenAfterItsProgressMoved)
{
    SimulatedArray array(smallArray(), true);
    const auto created = array.send(invoke(servicePath("Merrow_StorageConfigurationService"), "CreateVolume",
                                           {param("ElementName", CIMValue("busy")),
                                            param("Size", CIMValue(std::uint64_t{1} << 30)),
                                            param("VolumeOrganization", CIMValue(std::uint16_t{1}))}));
    ASSERT_EQ(returnValue(created), ArrayFailure::JobStarted);
    const auto jobPath = outParam(created, "Job")->get<cim::CIMObjectPath>();
    auto job = current(array, jobPath);
    const CIMValue readProgress = job.getPropertyValue("PercentComplete");

    array.model.update([](ModelTransaction& transaction) { JobControl::advance(transaction, 500, 1, 2000, 60000); });
    const CIMValue laterProgress = current(array, jobPath).getPropertyValue("PercentComplete");
    ASSERT_NE(laterProgress, readProgress);

    job.setPropertyValue("Priority", CIMValue(std::uint32_t{7}));
    ASSERT_EQ(statusOf(modify(array, job)), 0);
    const auto after = current(array, jobPath);
    EXPECT_EQ(after.getPropertyValue("Priority"), CIMValue(std::uint32_t{7}));
    EXPECT_EQ(after.getPropertyValue("PercentComplete"), laterProgress);

    auto gone = after;
    gone.setPath(instancePath("CIM_ConcreteJob", "no-such-job"));
    EXPECT_EQ(statusOf(modify(array, gone)), 6);
}

TEST(Dispatcher, ModifyInstanceChecksSecretsAndAuthenticationMethods)
{
    SimulatedArray array;
    const auto secrets = enumerate(array, "CIM_SharedSecret");
    ASSERT_FALSE(secrets.empty());
    auto secret = secrets[0];
    for (const auto& [text, status] : std::vector<std::pair<std::string, int>>{
             {"short", 4}, {"twelve chars", 0}, {"sixteen chars!!!", 0}, {"seventeen chars!!", 4}, {"", 0}}) {
        secret.setPropertyValue("Secret", CIMValue(text));
        EXPECT_EQ(statusOf(modify(array, secret)), status) << text;
    }
    auto settings = enumerate(array, "CIM_iSCSIConnectionSettings").at(0);
    settings.setPropertyValue("PrimaryAuthenticationMethod", CIMValue(std::uint16_t{5}));
    EXPECT_EQ(statusOf(modify(array, settings)), 0);
    settings.setPropertyValue("SecondaryAuthenticationMethod", CIMValue(std::uint16_t{4}));
    EXPECT_EQ(statusOf(modify(array, settings)), 4);
    EXPECT_EQ(enumerate(array, "CIM_iSCSIConnectionSettings").at(0).getPropertyValue("PrimaryAuthenticationMethod"),
              CIMValue(std::uint16_t{5}));
}

TEST(Dispatcher, SessionSettingsShowAndSetTheTargetsAuthenticationMethods)
{
    SimulatedArray array;
    auto connection = enumerate(array, "CIM_iSCSIConnectionSettings").at(0);
    connection.setPropertyValue("SecondaryAuthenticationMethod", CIMValue(std::uint16_t{5}));
    ASSERT_EQ(statusOf(modify(array, connection)), 0);
    auto session = enumerate(array, "CIM_iSCSISessionSettings").at(0);
    EXPECT_EQ(session.getPropertyValue("SecondaryAuthenticationMethod"), CIMValue(std::uint16_t{5}));
    EXPECT_EQ(session.getPropertyValue("PrimaryAuthenticationMethod"),
              connection.getPropertyValue("PrimaryAuthenticationMethod"));

    session.setPropertyValue("PrimaryAuthenticationMethod", CIMValue(std::uint16_t{5}));
    ASSERT_EQ(statusOf(modify(array, session)), 0);
    EXPECT_EQ(enumerate(array, "CIM_iSCSIConnectionSettings").at(0).getPropertyValue("PrimaryAuthenticationMethod"),
              CIMValue(std::uint16_t{5}));
    session.setPropertyValue("PrimaryAuthenticationMethod", CIMValue(std::uint16_t{1}));
    EXPECT_EQ(statusOf(modify(array, session)), 4);
    // Only the first target changed.
    EXPECT_EQ(enumerate(array, "CIM_iSCSISessionSettings").at(1).getPropertyValue("SecondaryAuthenticationMethod"),
              enumerate(array, "CIM_iSCSIConnectionSettings").at(1).getPropertyValue("SecondaryAuthenticationMethod"));
    EXPECT_NE(enumerate(array, "CIM_iSCSISessionSettings").at(1).getPropertyValue("SecondaryAuthenticationMethod"),
              CIMValue(std::uint16_t{5}));
}

TEST(Dispatcher, ArrayNameChangesThroughTheRedundantPair)
{
    SimulatedArray array;
    auto pair = enumerate(array, "Merrow_SystemSettingsRedundantPair").at(0);
    pair.setPropertyValue("Name", CIMValue("lab array"));
    ASSERT_EQ(statusOf(modify(array, pair)), 0);
    EXPECT_EQ(stringOf(enumerate(array, "CIM_ComputerSystem").at(0), "ElementName"), "lab array");
}

TEST(Dispatcher, InjectedFailuresHitTheNamedOperationOnlyAndRunOut)
{
    SimulatedArray array;
    array.faults.failNext("EnumerateInstances", 2, 6);
    const auto request = intrinsic("EnumerateInstances", {param("ClassName", CIMValue("CIM_StorageVolume"))});
    EXPECT_EQ(statusOf(array.send(request)), 6);
    EXPECT_EQ(statusOf(array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", CIMValue("CIM_StorageVolume"))}))), 0);
    EXPECT_EQ(statusOf(array.send(request)), 6);
    EXPECT_EQ(statusOf(array.send(request)), 0);

    array.faults.failNext("createvolume", 1, ArrayFailure::InternalError);
    const auto failed = array.send(invoke(servicePath("Merrow_StorageConfigurationService"), "CreateVolume",
                                          {param("ElementName", CIMValue("x")), param("Size", CIMValue(std::uint64_t{1} << 20)),
                                           param("VolumeOrganization", CIMValue(std::uint16_t{1}))}));
    EXPECT_EQ(returnValue(failed), ArrayFailure::InternalError);
    EXPECT_EQ(enumerate(array, "CIM_StorageVolume").size(), 2u);
}

TEST(Dispatcher, CountsEveryRequestButThoseOfTheControlNamespace)
{
    SimulatedArray array;
    enumerate(array, "CIM_StorageVolume");
    enumerate(array, "CIM_DiskDrive");
    array.send(invoke(servicePath("Merrow_StorageConfigurationService"), "GetBasePool"));
    array.send(invoke(cim::CIMObjectPath("", Namespaces::Control, ControlHandler::kClassName), "GetRequestCounters"));
    EXPECT_EQ(array.counters.get("EnumerateInstances"), 2u);
    EXPECT_EQ(array.counters.get("InvokeMethod"), 1u);
    EXPECT_EQ(array.counters.get("GetBasePool"), 1u);
    EXPECT_EQ(array.counters.get("GetRequestCounters"), 0u);
    EXPECT_EQ(array.counters.get("GetInstance"), 0u);
}

TEST(Dispatcher, RecordsWhatTheLastCallOfEachMethodReceived)
{
    SimulatedArray array;
    const auto service = servicePath("Merrow_StorageConfigurationService");
    for (const bool restart : {true, false}) {
        array.send(invoke(service, "InitiateShutdown", {param("Restart", CIMValue(restart))}));
        const auto call = array.control.lastCall("initiateshutdown");
        ASSERT_TRUE(call.has_value());
        EXPECT_EQ(call->className, "Merrow_StorageConfigurationService");
        EXPECT_EQ(call->parameters.at("Restart"), CIMValue(restart));
    }

    // A grow with no goal and no pool: only what was sent is recorded, by declared names.
    array.send(invoke(service, "CreateOrModifyElementFromStoragePool",
                      {param("elementtype", CIMValue(std::uint16_t{2})), param("Size", CIMValue(std::uint64_t{4} << 30)),
                       param("TheElement", CIMValue(volumePath(array)))}));
    const auto grow = array.control.lastCall("CreateOrModifyElementFromStoragePool");
    ASSERT_TRUE(grow.has_value());
    EXPECT_EQ(grow->parameters.count("Goal"), 0u);
    EXPECT_EQ(grow->parameters.count("InPool"), 0u);
    EXPECT_EQ(grow->parameters.at("ElementType"), CIMValue(std::uint16_t{2}));

    // A call refused for its parameters never reached the method.
    array.send(invoke(service, "InitiateShutdown", {param("Bogus", CIMValue(true))}));
    EXPECT_EQ(array.control.lastCall("InitiateShutdown")->parameters.at("Restart"), CIMValue(false));
    EXPECT_FALSE(array.control.lastCall("GetBasePool").has_value());
}

TEST(Dispatcher, LastCallIsReadableThroughTheControlClass)
{
    SimulatedArray array;
    const cim::CIMObjectPath control("", Namespaces::Control, ControlHandler::kClassName);
    auto lastCall = [&](const char* method) {
        return array.send(invoke(control, "GetLastCall", {param("Method", CIMValue(method))}));
    };
    EXPECT_EQ(returnValue(lastCall("InitiateShutdown")), 1u);
    array.send(invoke(servicePath("Merrow_StorageConfigurationService"), "InitiateShutdown",
                      {param("Restart", CIMValue(true))}));
    const auto answer = lastCall("InitiateShutdown");
    ASSERT_EQ(returnValue(answer), 0u);
    EXPECT_EQ(outParam(answer, "ClassName")->get<std::string>(), "Merrow_StorageConfigurationService");
    EXPECT_EQ(outParam(answer, "ParameterNames")->get<std::vector<std::string>>(), std::vector<std::string>{"Restart"});
    EXPECT_EQ(outParam(answer, "ParameterTypes")->get<std::vector<std::string>>(), std::vector<std::string>{"boolean"});
    EXPECT_EQ(outParam(answer, "ParameterValues")->get<std::vector<std::string>>(), std::vector<std::string>{"TRUE"});
    ASSERT_EQ(returnValue(array.send(invoke(control, "ClearCalls"))), 0u);
    EXPECT_EQ(returnValue(lastCall("InitiateShutdown")), 1u);
}

TEST(Dispatcher, UntypedMethodParametersAreReadAsTheirDeclaredTypes)
{
    SimulatedArray array;
    const auto response = array.send(invoke(servicePath("Merrow_StorageConfigurationService"), "CreateVolume",
                                            {cim::CIMParamValue("ElementName", CIMValue("untyped"), false),
                                             cim::CIMParamValue("Size", CIMValue("1048576"), false),
                                             cim::CIMParamValue("VolumeOrganization", CIMValue("2"), false),
                                             cim::CIMParamValue("StripeWidth", CIMValue("3"), false)}));
    ASSERT_EQ(returnValue(response), ArrayFailure::Ok);
    const auto volume = array.send(intrinsic("GetInstance", {param("InstanceName", *outParam(response, "StorageVolume"))}));
    EXPECT_EQ(volume.instances.at(0).getPropertyValue("ExtentStripeLength"), CIMValue(std::uint16_t{3}));
    const auto bad = array.send(invoke(servicePath("Merrow_StorageConfigurationService"), "CreateVolume",
                                       {cim::CIMParamValue("Size", CIMValue("lots"), false)}));
    EXPECT_EQ(statusOf(bad), 4);
}

} // namespace
} // namespace Merrow::Sim

namespace Merrow::Sim {
namespace {

// Equal but for the namespace, which an INSTANCENAME does not carry.
bool sameNamedInstance(const cim::CIMInstance& a, const cim::CIMInstance& b)
{
    cim::CIMObjectPath pathA = a.getPath();
    cim::CIMObjectPath pathB = b.getPath();
    pathA.setNameSpace({});
    pathB.setNameSpace({});
    return a.getClassName() == b.getClassName() && a.getProperties() == b.getProperties() && pathA.identical(pathB);
}

TEST(DispatcherEncoded, EnumerationFromEncodedPiecesReadsBackLikeTheResponse)
{
    SimulatedArray array;
    const auto request = intrinsic("EnumerateInstances", {param("ClassName", CIMValue("CIM_StorageExtent"))});
    const cim::CIMResponse direct = array.send(request);
    for (int round = 0; round < 2; ++round) {
        const cim::CIMResponse decoded = cim::decodeResponse(array.dispatcher.dispatchEncoded(request));
        ASSERT_EQ(decoded.instances.size(), direct.instances.size());
        for (std::size_t i = 0; i < direct.instances.size(); ++i)
            EXPECT_TRUE(sameNamedInstance(decoded.instances[i], direct.instances[i])) << i;
    }
    // A change replaces the encoded piece of the changed instance only.
    std::string id;
    ASSERT_EQ(array.control.addVolume("new", 1 << 20, id), ControlResult::Ok);
    auto instance = array.send(intrinsic("GetInstance", {param("InstanceName", CIMValue(deviceIdPath("CIM_StorageVolume", "3a000001")))})).instances.at(0);
    instance.setPath(deviceIdPath("CIM_StorageVolume", "3a000001"));
    instance.setPropertyValue("ElementName", CIMValue("changed"));
    ASSERT_EQ(statusOf(array.send(intrinsic("ModifyInstance", {param("ModifiedInstance", CIMValue(instance))}))), 0);
    const cim::CIMResponse after = cim::decodeResponse(array.dispatcher.dispatchEncoded(request));
    const cim::CIMResponse expected = array.send(request);
    ASSERT_EQ(after.instances.size(), expected.instances.size());
    for (std::size_t i = 0; i < expected.instances.size(); ++i)
        EXPECT_TRUE(sameNamedInstance(after.instances[i], expected.instances[i])) << i;
}

TEST(DispatcherEncoded, ErrorsAndFilteredEnumerationsTakeTheOrdinaryPath)
{
    SimulatedArray array;
    const auto missing = cim::decodeResponse(array.dispatcher.dispatchEncoded(
        intrinsic("EnumerateInstances", {param("ClassName", CIMValue("CIM_Nothing"))})));
    ASSERT_TRUE(missing.error.has_value());
    EXPECT_EQ(missing.error->code, cim::CIMStatusCode::InvalidClass);
    const auto filtered = cim::decodeResponse(array.dispatcher.dispatchEncoded(
        intrinsic("EnumerateInstances", {param("ClassName", CIMValue("CIM_StorageVolume")),
                                         param("PropertyList", CIMValue(std::vector<std::string>{"ElementName"}))})));
    ASSERT_EQ(filtered.instances.size(), 2u);
    EXPECT_EQ(filtered.instances[0].getPropertyCount(), 1u);
}

} // namespace
} // namespace Merrow::Sim

namespace Merrow::Sim {
namespace {

TEST(DispatcherClasses, GetClassDescribesMethodsWithParameterTypes)
{
    SimulatedArray array;
    const std::string xml = array.dispatcher.dispatchEncoded(
        intrinsic("GetClass", {param("ClassName", CIMValue("Merrow_StorageConfigurationService"))}));
    // Methods of the class and of its superclass, with typed, array and reference parameters.
    for (const char* expected : {"<CLASS NAME=\"Merrow_StorageConfigurationService\" SUPERCLASS=\"CIM_StorageConfigurationService\"",
                                 "<METHOD NAME=\"CreateVolume\" TYPE=\"uint32\"",
                                 "<PARAMETER NAME=\"StripeWidth\" TYPE=\"uint8\"", "<PARAMETER.REFARRAY NAME=\"StorageDevice\"",
                                 "<PARAMETER.REFERENCE NAME=\"Pool\"", "<METHOD NAME=\"ReturnToStoragePool\"",
                                 "<PROPERTY NAME=\"Name\" TYPE=\"string\""})
        EXPECT_NE(xml.find(expected), std::string::npos) << expected;
    const cim::CIMResponse decoded = cim::decodeResponse(xml);
    ASSERT_EQ(decoded.objects.size(), 1u);
    EXPECT_TRUE(decoded.objects[0].isClass());
}

TEST(DispatcherClasses, ClassNamesFollowTheHierarchy)
{
    SimulatedArray array;
    auto names = [&](std::vector<cim::CIMParamValue> params) {
        std::vector<std::string> out;
        for (const auto& path : array.send(intrinsic("EnumerateClassNames", std::move(params))).paths)
            out.push_back(path.getClassName().getString());
        return out;
    };
    EXPECT_EQ(names({param("ClassName", CIMValue("CIM_StorageExtent"))}),
              (std::vector<std::string>{"CIM_StorageVolume", "Merrow_LeafExtent", "CIM_CompositeExtent"}));
    const auto roots = names({});
    EXPECT_NE(std::find(roots.begin(), roots.end(), "CIM_ManagedElement"), roots.end());
    EXPECT_EQ(std::find(roots.begin(), roots.end(), "CIM_StorageVolume"), roots.end());
    const auto deep = names({param("ClassName", CIMValue("CIM_LogicalDevice")), param("DeepInheritance", CIMValue(true))});
    EXPECT_NE(std::find(deep.begin(), deep.end(), "CIM_DiskDrive"), deep.end());
}

TEST(DispatcherClasses, CompositeExtentsAreAClassWithoutInstances)
{
    SimulatedArray array;
    const auto names = array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", cim::CIMValue("CIM_CompositeExtent"))}));
    EXPECT_EQ(statusOf(names), 0);
    EXPECT_TRUE(names.paths.empty());
    const auto volume = array.send(intrinsic("EnumerateInstanceNames", {param("ClassName", cim::CIMValue("CIM_StorageVolume"))}));
    ASSERT_FALSE(volume.paths.empty());
    EXPECT_TRUE(walk(array, volume.paths[0], {{"CIM_BasedOn", "CIM_CompositeExtent"}}).empty());
    // A made-up instance of it is missing, not of an unknown class.
    EXPECT_EQ(statusOf(array.send(intrinsic(
                  "GetInstance", {param("InstanceName", cim::CIMValue(deviceIdPath("CIM_CompositeExtent", "3c000001")))}))),
              6);
}

} // namespace
} // namespace Merrow::Sim
