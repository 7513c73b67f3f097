#include "cim/client/CIMClient.h"

#include "TestCIMServer.h"
#include "cim/value/CIMException.h"
#include "cim/http/CIMTransportExceptions.h"

#include <boost/asio/ip/tcp.hpp>
#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace cim {
namespace {

namespace http = boost::beast::http;
using test::namedInstancesResponse;
using test::TestCIMServer;

const CIMNamespaceName kNamespace("root/snia");

CIMObjectPath volumePath(const std::string& id)
{
    return CIMObjectPath("root/snia:CIM_StorageVolume.DeviceID=\"" + id + "\",SystemName=\"array1\"");
}

CIMInstance volume(const std::string& id)
{
    CIMInstance instance("CIM_StorageVolume");
    instance.addProperty(CIMProperty("DeviceID", CIMValue(id)));
    instance.addProperty(CIMProperty("SystemName", CIMValue("array1")));
    instance.addProperty(CIMProperty("BlockSize", CIMValue(std::uint64_t{512})));
    instance.addProperty(CIMProperty("OperationalStatus", CIMValue(std::vector<std::uint16_t>{2, 5})));
    instance.setPath(volumePath(id));
    return instance;
}

const CIMParamValue* param(const CIMRequest& request, const char* name)
{
    return request.findParam(CIMName(name));
}

// The value of an intrinsic boolean parameter, or nullopt when it was not sent.
std::optional<bool> booleanParam(const CIMRequest& request, const char* name)
{
    const CIMParamValue* found = param(request, name);
    if (!found)
        return std::nullopt;
    return found->getValue().get<bool>();
}

std::string stringParam(const CIMRequest& request, const char* name)
{
    const CIMParamValue* found = param(request, name);
    return found ? found->getValue().get<std::string>() : std::string("<absent>");
}

// Answers every operation with typical content.
CIMResponse typicalResponse(const CIMRequest& request)
{
    CIMResponse response;
    const std::string method = request.methodName.getString();
    if (method == "GetInstance") {
        response.kind = CIMReturnKind::Instances;
        CIMInstance instance = volume("v1");
        instance.setPath(CIMObjectPath());
        response.instances.push_back(instance);
    } else if (method == "EnumerateInstances") {
        return namedInstancesResponse({volume("v1"), volume("v2"), volume("v3")});
    } else if (method == "EnumerateInstanceNames" || method == "CreateInstance") {
        response.kind = CIMReturnKind::InstanceNames;
        response.paths = {volumePath("v1")};
        if (method == "EnumerateInstanceNames")
            response.paths.push_back(volumePath("v2"));
    } else if (method == "Associators") {
        response.kind = CIMReturnKind::ObjectsWithPath;
        CIMInstance pool("CIM_StoragePool");
        pool.addProperty(CIMProperty("InstanceID", CIMValue("pool1")));
        pool.setPath(CIMObjectPath("//array1/root/snia:CIM_StoragePool.InstanceID=\"pool1\""));
        response.objects.emplace_back(pool);
    } else if (method == "EnumerateClassNames") {
        response.kind = CIMReturnKind::ClassNames;
        response.paths = {CIMObjectPath("CIM_StorageVolume"), CIMObjectPath("CIM_LogicalDisk")};
    } else if (method == "AssociatorNames") {
        response.kind = CIMReturnKind::ObjectPaths;
        response.paths = {CIMObjectPath("//array1/root/snia:CIM_StoragePool.InstanceID=\"pool1\"")};
    } else if (request.extrinsic) {
        response.returnValue = CIMValue(std::uint32_t{4096});
        response.outParams.emplace_back(CIMName("Job"),
                                        CIMValue(CIMObjectPath("root/snia:CIM_ConcreteJob.InstanceID=\"job7\"")));
    }
    return response;
}

class CIMClientTest : public ::testing::Test {
protected:
    void connect(const std::string& user = "admin", const std::string& password = "secret")
    {
        m_client.connect("127.0.0.1", m_server.port(), user, password);
    }

    const CIMRequest& lastRequest()
    {
        m_received = m_server.received();
        return m_received.back().request;
    }

    TestCIMServer m_server{typicalResponse};
    CIMClient m_client;
    std::vector<test::ReceivedRequest> m_received;
};

TEST_F(CIMClientTest, EveryRequestCarriesHeadersThatMatchItsXml)
{
    connect();
    m_client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume");
    std::vector<CIMParamValue> out;
    m_client.invokeMethod(kNamespace, CIMObjectPath("//array1/root/snia:Merrow_Config.Name=\"a b\""), "Reset", {}, out);
    const auto received = m_server.received();
    ASSERT_EQ(received.size(), 2u);
    for (const auto& r : received) {
        EXPECT_EQ(r.cimOperation, "MethodCall");
        EXPECT_EQ(r.cimMethod, r.request.methodName.getString());
        EXPECT_EQ(r.protocolVersion, "1.0");
        EXPECT_EQ(r.te, "trailers");
        EXPECT_FALSE(r.hasExpect);
        EXPECT_EQ(r.authorization, "Basic YWRtaW46c2VjcmV0");
    }
    EXPECT_EQ(received[0].cimObject, "root/snia");
    EXPECT_EQ(CIMObjectPath(received[1].cimObject), received[1].request.target) << received[1].cimObject;
    EXPECT_EQ(received[1].cimObject, "root/snia:Merrow_Config.Name=\"a b\"");
}

TEST_F(CIMClientTest, GetInstanceSendsItsFlagsAndReturnsTheInstanceWithTheRequestedPath)
{
    connect();
    CIMObjectPath path = volumePath("v1");
    path.setNameSpace(CIMNamespaceName());
    const CIMInstance instance =
        m_client.getInstance(kNamespace, path, false, false, false, CIMPropertyList({CIMName("BlockSize")}));
    EXPECT_EQ(instance.getPropertyValue("BlockSize"), CIMValue(std::uint64_t{512}));
    EXPECT_EQ(instance.getPath(), volumePath("v1"));

    const CIMRequest& request = lastRequest();
    EXPECT_EQ(request.nameSpace, kNamespace);
    EXPECT_EQ(param(request, "InstanceName")->getValue().get<CIMObjectPath>().getKeyBindings(), path.getKeyBindings());
    EXPECT_EQ(booleanParam(request, "LocalOnly"), false);
    EXPECT_EQ(booleanParam(request, "IncludeQualifiers"), false);
    EXPECT_EQ(booleanParam(request, "IncludeClassOrigin"), false);
    EXPECT_EQ(CIMPropertyList::fromValue(param(request, "PropertyList")->getValue()),
              CIMPropertyList({CIMName("BlockSize")}));
}

TEST_F(CIMClientTest, EnumerationsReturnWhatTheServerListed)
{
    connect();
    const auto instances = m_client.enumerateInstances(kNamespace, "CIM_StorageVolume");
    ASSERT_EQ(instances.size(), 3u);
    EXPECT_EQ(instances[2], volume("v3"));
    EXPECT_EQ(booleanParam(lastRequest(), "DeepInheritance"), true);
    EXPECT_EQ(booleanParam(lastRequest(), "IncludeQualifiers"), false);
    EXPECT_EQ(booleanParam(lastRequest(), "IncludeClassOrigin"), false);
    EXPECT_EQ(param(lastRequest(), "PropertyList"), nullptr) << "a null list is not sent";

    const auto names = m_client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume");
    EXPECT_EQ(names, (std::vector<CIMObjectPath>{volumePath("v1"), volumePath("v2")}));
    EXPECT_EQ(stringParam(lastRequest(), "ClassName"), "CIM_StorageVolume");
}

TEST_F(CIMClientTest, AssociationRequestsSendOnlyTheFiltersGiven)
{
    connect();
    const auto objects = m_client.associators(kNamespace, volumePath("v1"), "CIM_AllocatedFromStoragePool",
                                              "CIM_StoragePool", "Dependent", "Antecedent");
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].getInstance().getPropertyValue("InstanceID"), CIMValue("pool1"));
    EXPECT_EQ(stringParam(lastRequest(), "AssocClass"), "CIM_AllocatedFromStoragePool");
    EXPECT_EQ(stringParam(lastRequest(), "ResultClass"), "CIM_StoragePool");
    EXPECT_EQ(stringParam(lastRequest(), "Role"), "Dependent");
    EXPECT_EQ(stringParam(lastRequest(), "ResultRole"), "Antecedent");

    const auto names = m_client.associatorNames(kNamespace, volumePath("v1"), CIMName(), "CIM_StoragePool");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].getHost(), "array1");
    EXPECT_EQ(param(lastRequest(), "AssocClass"), nullptr);
    EXPECT_EQ(param(lastRequest(), "Role"), nullptr);
    EXPECT_EQ(param(lastRequest(), "ResultRole"), nullptr);
    EXPECT_EQ(stringParam(lastRequest(), "ResultClass"), "CIM_StoragePool");
}

TEST_F(CIMClientTest, ClassNamesComeBackAsNamesAndTheInheritanceAskedIsSent)
{
    connect();
    EXPECT_EQ(m_client.enumerateClassNames(kNamespace, "CIM_StorageExtent", true),
              (std::vector<CIMName>{CIMName("CIM_StorageVolume"), CIMName("CIM_LogicalDisk")}));
    EXPECT_EQ(stringParam(lastRequest(), "ClassName"), "CIM_StorageExtent");
    EXPECT_EQ(booleanParam(lastRequest(), "DeepInheritance"), true);

    m_client.enumerateClassNames(kNamespace, CIMName(), false);
    EXPECT_EQ(param(lastRequest(), "ClassName"), nullptr) << "no name starts from the top classes";
    EXPECT_EQ(booleanParam(lastRequest(), "DeepInheritance"), false);
}

TEST_F(CIMClientTest, InstanceChangesSendTheInstanceAndItsPath)
{
    connect();
    CIMInstance handler("CIM_IndicationHandlerCIMXML");
    handler.addProperty(CIMProperty("Name", CIMValue("h_1")));
    handler.addProperty(CIMProperty("PersistenceType", CIMValue(std::uint16_t{2})));
    EXPECT_EQ(m_client.createInstance(kNamespace, handler), volumePath("v1"));
    EXPECT_EQ(param(lastRequest(), "NewInstance")->getValue().get<CIMInstance>().getPropertyValue("PersistenceType"),
              CIMValue(std::uint16_t{2}));

    const CIMInstance changed = volume("v9");
    m_client.modifyInstance(kNamespace, changed, false, CIMPropertyList({CIMName("BlockSize")}));
    EXPECT_EQ(param(lastRequest(), "ModifiedInstance")->getValue().get<CIMInstance>().getPath().getKeyBindings(),
              volumePath("v9").getKeyBindings());
    EXPECT_EQ(CIMPropertyList::fromValue(param(lastRequest(), "PropertyList")->getValue()),
              CIMPropertyList({CIMName("BlockSize")}));

    m_client.deleteInstance(kNamespace, volumePath("v9"));
    EXPECT_EQ(lastRequest().methodName, CIMName("DeleteInstance"));

    const std::size_t sent = m_server.received().size();
    EXPECT_THROW(m_client.modifyInstance(kNamespace, CIMInstance("CIM_StorageVolume")), std::invalid_argument);
    EXPECT_EQ(m_server.received().size(), sent);
}

TEST_F(CIMClientTest, InvokeMethodSendsReferencesAndReturnsOutParameters)
{
    connect();
    const CIMObjectPath service("root/snia:CIM_StorageConfigurationService.Name=\"scs\"");
    const std::vector<CIMObjectPath> members = {volumePath("v1"), volumePath("v2")};
    std::vector<CIMParamValue> in = {{"ElementName", CIMValue("lun 1")},
                                     {"Size", CIMValue(std::uint64_t{1} << 40)},
                                     {"InPool", CIMValue(CIMObjectPath("root/snia:CIM_StoragePool.InstanceID=\"p\""))},
                                     {"InElements", CIMValue(members)}};
    std::vector<CIMParamValue> out;
    const CIMValue result = m_client.invokeMethod(kNamespace, service, "CreateOrModifyElementFromStoragePool", in, out);
    EXPECT_EQ(result.toString(), "4096");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].getParameterName(), CIMName("Job"));

    const CIMRequest& request = lastRequest();
    EXPECT_TRUE(request.extrinsic);
    EXPECT_EQ(request.target, service);
    EXPECT_EQ(param(request, "InElements")->getValue(), CIMValue(members));
    EXPECT_EQ(param(request, "Size")->getValue(), CIMValue(std::uint64_t{1} << 40));
}

TEST_F(CIMClientTest, EmptyResultsAreEmptyLists)
{
    TestCIMServer empty([](const CIMRequest&) { return CIMResponse(); });
    m_client.connect("127.0.0.1", empty.port(), "", "");
    EXPECT_TRUE(m_client.enumerateInstances(kNamespace, "CIM_StorageVolume").empty());
    EXPECT_TRUE(m_client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume").empty());
    EXPECT_TRUE(m_client.associators(kNamespace, volumePath("v1")).empty());
    EXPECT_TRUE(m_client.associatorNames(kNamespace, volumePath("v1")).empty());
    EXPECT_THROW(m_client.getInstance(kNamespace, volumePath("v1")), CIMMalformedHttpException)
        << "GetInstance must answer one instance";
}

TEST_F(CIMClientTest, RequestsShareOneKeptAliveConnectionAcrossThreads)
{
    connect();
    std::vector<std::thread> threads;
    std::atomic<int> answered{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 25; ++i) {
                if (m_client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume").size() == 2)
                    ++answered;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(answered.load(), 100);
    EXPECT_EQ(m_server.http().acceptedConnections(), 1u);
}

TEST(CIMClient, ServerClosingAnIdleConnectionCostsANewConnectionNotARepeatedRequest)
{
    HttpServerOptions options = TestCIMServer::defaultOptions();
    options.idleTimeout = std::chrono::milliseconds(50);
    TestCIMServer server(typicalResponse, options);
    CIMClient client;
    client.connect("127.0.0.1", server.port(), "", "");
    std::vector<CIMParamValue> out;
    client.invokeMethod(kNamespace, volumePath("v1"), "RequestStateChange", {}, out);
    for (int wait = 0; wait < 500 && server.http().activeConnections() != 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(server.http().activeConnections(), 0u) << "the server should have closed the idle connection";
    client.invokeMethod(kNamespace, volumePath("v1"), "RequestStateChange", {}, out);
    EXPECT_EQ(server.received().size(), 2u);
    EXPECT_EQ(server.http().acceptedConnections(), 2u);
}

struct OperationCase {
    const char* name;
    std::function<void(CIMClient&)> run;
    bool resentAfterADrop;
};

void PrintTo(const OperationCase& c, std::ostream* out)
{
    *out << c.name;
}

class CIMClientDroppedRequest : public ::testing::TestWithParam<OperationCase> {};

TEST_P(CIMClientDroppedRequest, IsResentOnceOnlyWhenItChangesNothing)
{
    TestCIMServer server(typicalResponse);
    server.dropNextRequests(1);
    CIMClient client;
    client.connect("127.0.0.1", server.port(), "", "");
    if (GetParam().resentAfterADrop) {
        EXPECT_NO_THROW(GetParam().run(client));
        EXPECT_EQ(server.received().size(), 2u);
    } else {
        EXPECT_THROW(GetParam().run(client), CIMNotConnectedException);
        EXPECT_EQ(server.received().size(), 1u);
        EXPECT_NO_THROW(GetParam().run(client)) << "the client reconnects for the next request";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, CIMClientDroppedRequest,
    ::testing::Values(
        OperationCase{"getInstance", [](CIMClient& c) { c.getInstance(kNamespace, volumePath("v1")); }, true},
        OperationCase{"enumerateInstances", [](CIMClient& c) { c.enumerateInstances(kNamespace, "CIM_StorageVolume"); }, true},
        OperationCase{"enumerateInstanceNames", [](CIMClient& c) { c.enumerateInstanceNames(kNamespace, "CIM_StorageVolume"); },
                      true},
        OperationCase{"associators", [](CIMClient& c) { c.associators(kNamespace, volumePath("v1")); }, true},
        OperationCase{"associatorNames", [](CIMClient& c) { c.associatorNames(kNamespace, volumePath("v1")); }, true},
        OperationCase{"createInstance", [](CIMClient& c) { c.createInstance(kNamespace, volume("v1")); }, false},
        OperationCase{"modifyInstance", [](CIMClient& c) { c.modifyInstance(kNamespace, volume("v1")); }, false},
        OperationCase{"deleteInstance", [](CIMClient& c) { c.deleteInstance(kNamespace, volumePath("v1")); }, false},
        OperationCase{"invokeMethod",
                      [](CIMClient& c) {
                          std::vector<CIMParamValue> out;
                          c.invokeMethod(kNamespace, volumePath("v1"), "RequestStateChange", {}, out);
                      },
                      false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CIMClient, RefusedCredentialsAreOneHttp401WithTheAgreedMessage)
{
    TestCIMServer server(typicalResponse);
    server.requireCredentials("admin", "secret");
    CIMClient client;
    client.connect("127.0.0.1", server.port(), "admin", "wrong");
    try {
        client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume");
        FAIL() << "a 401 must not read as an empty result";
    } catch (const CIMHttpErrorException& e) {
        EXPECT_STREQ(e.what(), "HTTP Error (401 Unauthorized).");
    }
    EXPECT_EQ(server.unauthorizedAnswers(), 1) << "no retry loop";

    CIMClient good;
    good.connect("127.0.0.1", server.port(), "admin", "secret");
    good.enumerateInstanceNames(kNamespace, "CIM_StorageVolume");
    EXPECT_EQ(server.unauthorizedAnswers(), 1) << "credentials go with the first request";
}

TEST(CIMClient, SlowServerRunsIntoTheTimeoutAndTheClientRecovers)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> calls{0};
    TestCIMServer server([&](const CIMRequest& request) {
        if (calls++ == 0)
            released.wait();
        return typicalResponse(request);
    });
    CIMClient client;
    client.setTimeout(150);
    EXPECT_EQ(client.getTimeout(), 150u);
    client.connect("127.0.0.1", server.port(), "", "");
    EXPECT_THROW(client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume"), CIMTimeoutException);
    release.set_value();
    EXPECT_EQ(client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume").size(), 2u);
    EXPECT_EQ(server.received().size(), 2u) << "a timed-out request is not sent again";
}

TEST(CIMClient, ChunkedRepliesAreReadWhole)
{
    TestCIMServer server([](const CIMRequest&) {
        std::vector<CIMInstance> many;
        for (int i = 0; i < 200; ++i)
            many.push_back(volume(std::string("v").append(std::to_string(i))));
        return namedInstancesResponse(std::move(many));
    });
    server.setChunkedReplies(true);
    CIMClient client;
    client.connect("127.0.0.1", server.port(), "", "");
    const auto instances = client.enumerateInstances(kNamespace, "CIM_StorageVolume");
    ASSERT_EQ(instances.size(), 200u);
    EXPECT_EQ(instances[199], volume("v199"));
}

HttpServerReply replyOf(unsigned status, std::string body, std::vector<std::pair<std::string, std::string>> headers = {})
{
    HttpServerReply reply;
    reply.message.result(status);
    for (const auto& [name, value] : headers)
        reply.message.set(name, value);
    reply.message.body() = std::move(body);
    return reply;
}

TEST(CIMClient, StatusCodeTrailerTurnsAPartialChunkedReplyIntoAFailure)
{
    TestCIMServer server(typicalResponse);
    HttpServerReply partial = replyOf(200,
                                      "<?xml version=\"1.0\" encoding=\"utf-8\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
                                      "<MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP><IMETHODRESPONSE NAME=\"Enu",
                                      {{"CIMOperation", "MethodResponse"}});
    partial.chunked = true;
    partial.chunkBytes = 40;
    partial.trailers = {{"CIMStatusCode", "6"}, {"CIMStatusCodeDescription", "volume%20gone"}};
    server.setRawReply(partial);
    CIMClient client;
    client.connect("127.0.0.1", server.port(), "", "");
    try {
        client.enumerateInstances(kNamespace, "CIM_StorageVolume");
        FAIL();
    } catch (const CIMException& e) {
        EXPECT_EQ(e.getCode(), CIMStatusCode::NotFound);
        EXPECT_EQ(e.getDescription(), "volume gone");
    }
}

TEST(CIMClient, ErrorElementsBecomeCIMExceptionsWithCodeAndDescription)
{
    TestCIMServer server([](const CIMRequest& request) {
        CIMResponse response;
        const bool intrinsic = !request.extrinsic;
        response.error = CIMError{intrinsic ? CIMStatusCode::NotFound : CIMStatusCode::MethodNotAvailable,
                                  intrinsic ? "no such volume" : "busy", {}};
        return response;
    });
    CIMClient client;
    client.connect("127.0.0.1", server.port(), "", "");
    try {
        client.getInstance(kNamespace, volumePath("v1"));
        FAIL();
    } catch (const CIMException& e) {
        EXPECT_EQ(e.getCode(), CIMStatusCode::NotFound);
        EXPECT_EQ(e.getDescription(), "no such volume");
    }
    try {
        std::vector<CIMParamValue> out;
        client.invokeMethod(kNamespace, volumePath("v1"), "RequestStateChange", {}, out);
        FAIL();
    } catch (const CIMException& e) {
        EXPECT_EQ(e.getCode(), CIMStatusCode::MethodNotAvailable);
        EXPECT_EQ(e.getDescription(), "busy");
    }
}

TEST(CIMClient, HttpAndXmlFailuresHaveTheirOwnExceptions)
{
    TestCIMServer server(typicalResponse);
    CIMClient client;
    client.connect("127.0.0.1", server.port(), "", "");
    auto attempt = [&] { client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume"); };

    server.setRawReply(replyOf(400, "", {{"CIMError", "request-not-valid"}}));
    try {
        attempt();
        FAIL();
    } catch (const CIMHttpErrorException& e) {
        EXPECT_EQ(e.statusCode(), 400u);
        EXPECT_EQ(e.cimError(), "request-not-valid");
    }

    server.setRawReply(replyOf(500, "oops"));
    EXPECT_THROW(attempt(), CIMHttpErrorException);

    server.setRawReply(replyOf(200, "<CIM/>"));
    EXPECT_THROW(attempt(), CIMMalformedHttpException) << "no CIMOperation header";

    server.setRawReply(replyOf(200, "this is not xml", {{"CIMOperation", "MethodResponse"}}));
    EXPECT_THROW(attempt(), CIMMalformedHttpException);

    server.setRawReply(replyOf(200,
                               "<?xml version=\"1.0\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
                               "<MESSAGE ID=\"999\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP>"
                               "<IMETHODRESPONSE NAME=\"EnumerateInstanceNames\"/></SIMPLERSP></MESSAGE></CIM>",
                               {{"CIMOperation", "MethodResponse"}}));
    EXPECT_THROW(attempt(), CIMMalformedHttpException) << "reply to another request";
}

// An EnumerateInstances reply with the given MESSAGE ID and IRETURNVALUE content.
HttpServerReply enumerateReply(const std::string& messageId, const std::string& items)
{
    return replyOf(200,
                   "<?xml version=\"1.0\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"" + messageId
                       + "\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP><IMETHODRESPONSE NAME=\"EnumerateInstances\">"
                         "<IRETURNVALUE>"
                       + items + "</IRETURNVALUE></IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>",
                   {{"CIMOperation", "MethodResponse"}});
}

std::string namedItem(const std::string& id, const std::string& value = "512")
{
    return "<VALUE.NAMEDINSTANCE><INSTANCENAME CLASSNAME=\"CIM_StorageVolume\"><KEYBINDING NAME=\"DeviceID\">"
           "<KEYVALUE VALUETYPE=\"string\">"
           + id
           + "</KEYVALUE></KEYBINDING></INSTANCENAME><INSTANCE CLASSNAME=\"CIM_StorageVolume\">"
             "<PROPERTY NAME=\"BlockSize\" TYPE=\"uint64\"><VALUE>"
           + value + "</VALUE></PROPERTY></INSTANCE></VALUE.NAMEDINSTANCE>";
}

// The message of what `operation` throws, or "" when it returns.
template <typename Operation>
std::string failureOf(Operation operation)
{
    try {
        operation();
    } catch (const std::exception& e) {
        return std::string(typeid(e).name()) + ": " + e.what();
    }
    return {};
}

TEST_F(CIMClientTest, EnumerationToAConsumerHandsOverWhatTheListHolds)
{
    connect();
    std::vector<CIMInstance> consumed;
    m_client.enumerateInstances(kNamespace, "CIM_StorageVolume", true, false, false, false, CIMPropertyList(),
                                [&](CIMInstance&& instance) { consumed.push_back(std::move(instance)); });
    EXPECT_EQ(consumed, m_client.enumerateInstances(kNamespace, "CIM_StorageVolume"));
    ASSERT_EQ(consumed.size(), 3u);
    EXPECT_EQ(consumed[2].getPath().getNameSpace(), kNamespace) << "paths get the namespace of the request";
}

// The consumer form fails as the collecting form does; only the instances before a bad one
// have been handed over by then.
TEST(CIMClient, EnumerationToAConsumerFailsAsTheCollectingFormDoes)
{
    TestCIMServer server(typicalResponse);
    struct Reply {
        const char* what;
        std::string messageId;
        std::string items;
        std::size_t handedOver;
    };
    const std::vector<Reply> replies{
        {"a value that does not read", "1", namedItem("v1") + namedItem("v2", "big") + namedItem("v3"), 1},
        {"malformed XML in the last item", "1", namedItem("v1") + namedItem("v2") + "<VALUE.NAMEDINSTANCE></X>", 2},
        {"reply to another request that is malformed too", "7", namedItem("v1") + namedItem("v2", "big"), 0},
        {"reply to another request", "7", namedItem("v1"), 0},
        {"instance names instead of instances", "1", "<INSTANCENAME CLASSNAME=\"CIM_X\"/>", 0},
    };
    for (const Reply& reply : replies) {
        server.setRawReply(enumerateReply(reply.messageId, reply.items));
        // A new client each time: both requests carry MESSAGE ID 1.
        std::size_t handedOver = 0;
        const std::string consumerFailure = failureOf([&] {
            CIMClient client;
            client.connect("127.0.0.1", server.port(), "", "");
            client.enumerateInstances(kNamespace, "CIM_StorageVolume", true, false, false, false, CIMPropertyList(),
                                      [&](CIMInstance&&) { ++handedOver; });
        });
        const std::string collectingFailure = failureOf([&] {
            CIMClient client;
            client.connect("127.0.0.1", server.port(), "", "");
            client.enumerateInstances(kNamespace, "CIM_StorageVolume");
        });
        EXPECT_FALSE(consumerFailure.empty()) << reply.what;
        EXPECT_EQ(consumerFailure, collectingFailure) << reply.what;
        EXPECT_EQ(handedOver, reply.handedOver) << reply.what;
    }
}

TEST_F(CIMClientTest, NameAndAssociationConsumersHandOverWhatTheCollectingFormsReturn)
{
    connect();
    const CIMObjectPath volume = volumePath("v1");
    std::vector<CIMObjectPath> names;
    m_client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume",
                                    [&](CIMObjectPath&& path) { names.push_back(std::move(path)); });
    EXPECT_EQ(names, m_client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume"));
    EXPECT_EQ(names.size(), 2u);
    std::vector<CIMObject> objects;
    m_client.associators(kNamespace, volume, CIMName(), CIMName(), "", "", false, false, CIMPropertyList(),
                         [&](CIMObject&& object) { objects.push_back(std::move(object)); });
    EXPECT_EQ(objects, m_client.associators(kNamespace, volume));
    EXPECT_EQ(objects.size(), 1u);
    std::vector<CIMObjectPath> associated;
    m_client.associatorNames(kNamespace, volume, CIMName(), CIMName(), "", "",
                             [&](CIMObjectPath&& path) { associated.push_back(std::move(path)); });
    EXPECT_EQ(associated, m_client.associatorNames(kNamespace, volume));
    EXPECT_EQ(associated.size(), 1u);
}

// Chunks cut items anywhere; each instance is handed over as soon as its last chunk came, and
// a failing status in the trailer still fails the call after them.
TEST(CIMClient, EnumerationToAConsumerReadsAChunkedReplyAsItArrives)
{
    TestCIMServer server(typicalResponse);
    std::string items;
    for (int i = 0; i < 200; ++i)
        items += namedItem("v" + std::to_string(i), std::to_string(i));
    HttpServerReply chunked = enumerateReply("1", items);
    chunked.chunked = true;
    chunked.chunkBytes = 37;
    server.setRawReply(chunked);
    std::vector<std::string> ids;
    {
        CIMClient client;
        client.connect("127.0.0.1", server.port(), "", "");
        client.enumerateInstances(kNamespace, "CIM_StorageVolume", true, false, false, false, CIMPropertyList(),
                                  [&](CIMInstance&& instance) { ids.push_back(instance.getPath().toString()); });
    }
    ASSERT_EQ(ids.size(), 200u);
    EXPECT_EQ(ids[199], "root/snia:CIM_StorageVolume.DeviceID=\"v199\"");

    chunked.trailers = {{"CIMStatusCode", "6"}, {"CIMStatusCodeDescription", "volume%20gone"}};
    server.setRawReply(chunked);
    std::size_t handedOver = 0;
    CIMClient client;
    client.connect("127.0.0.1", server.port(), "", "");
    EXPECT_THROW(client.enumerateInstances(kNamespace, "CIM_StorageVolume", true, false, false, false,
                                           CIMPropertyList(), [&](CIMInstance&&) { ++handedOver; }),
                 CIMException);
    EXPECT_EQ(handedOver, 200u);
}

TEST(CIMClient, ConnectionStateErrors)
{
    TestCIMServer server(typicalResponse);
    CIMClient client;
    EXPECT_FALSE(client.isConnected());
    EXPECT_EQ(client.getPublicIP(), "");
    EXPECT_THROW(client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume"), CIMNotConnectedException);

    client.connect("127.0.0.1", server.port(), "", "");
    EXPECT_TRUE(client.isConnected());
    EXPECT_EQ(client.getPublicIP(), "127.0.0.1");
    EXPECT_THROW(client.connect("127.0.0.1", server.port(), "", ""), CIMAlreadyConnectedException);
    client.disconnect();
    EXPECT_THROW(client.enumerateInstanceNames(kNamespace, "CIM_StorageVolume"), CIMNotConnectedException);

    boost::asio::io_context ioc;
    boost::asio::ip::tcp::acceptor closed(ioc, {boost::asio::ip::make_address("127.0.0.1"), 0});
    const auto port = closed.local_endpoint().port();
    closed.close();
    EXPECT_THROW(client.connect("127.0.0.1", port, "", ""), CIMCannotConnectException);
    EXPECT_FALSE(client.isConnected());
}

} // namespace
} // namespace cim
