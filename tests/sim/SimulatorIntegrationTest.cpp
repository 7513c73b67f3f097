// The simulator on a loopback address of its own, driven by the project's CIM client and
// indication listener over real connections.

#include "sim/ArrayFailureCodes.h"
#include "sim/Simulator.h"

#include "cim/client/CIMClient.h"
#include "cim/value/CIMException.h"
#include "cim/http/CIMHttpHeaders.h"
#include "cim/listener/CIMIndicationConsumer.h"
#include "cim/value/CIMKeyBinding.h"
#include "cim/listener/CIMListener.h"
#include "cim/http/CIMTransportExceptions.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/http/HttpClientConnection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include <unistd.h>

namespace Merrow::Sim {
namespace {

using cim::CIMValue;
namespace http = boost::beast::http;

const cim::CIMNamespaceName kStorage(Namespaces::Storage);
const cim::CIMNamespaceName kControl(Namespaces::Control);

// A loopback address no other test process uses at the same time: ctest runs each test
// case in a process of its own.
std::string uniqueAddress()
{
    static std::atomic<unsigned> next{0};
    const unsigned pid = static_cast<unsigned>(::getpid());
    return "127." + std::to_string(1 + pid / 250 % 250) + "." + std::to_string(pid % 250) + "." +
           std::to_string(2 + next++ % 250);
}

SimulatorOptions optionsFor(const std::string& address)
{
    SimulatorOptions options;
    options.array.address = address;
    options.array.disks = 8;
    options.array.diskBytes = 100'000'000'000ull;
    options.user = "admin";
    options.password = "secret";
    options.jobs = true;
    options.jobMilliseconds = 200;
    options.indications.timeout = std::chrono::milliseconds(500);
    return options;
}

class Integration : public testing::Test {
protected:
    void SetUp() override
    {
        address = uniqueAddress();
        simulator = std::make_unique<Simulator>(optionsFor(address));
        simulator->start();
        client.connect(address, 5988, "admin", "secret");
    }
    void TearDown() override
    {
        client.disconnect();
        simulator->stop();
    }

    cim::CIMObjectPath service(const char* className)
    {
        return client.enumerateInstanceNames(kStorage, className).at(0);
    }
    std::uint32_t call(const cim::CIMObjectPath& target, const char* method, std::vector<cim::CIMParamValue> in,
                       std::vector<cim::CIMParamValue>& out)
    {
        return client.invokeMethod(kStorage, target, method, in, out).get<std::uint32_t>();
    }
    std::uint32_t control(const char* method, std::vector<cim::CIMParamValue> in = {})
    {
        std::vector<cim::CIMParamValue> out;
        return client.invokeMethod(kControl, cim::CIMObjectPath("", kControl, ControlHandler::kClassName), method, in, out)
            .get<std::uint32_t>();
    }

    std::string address;
    std::unique_ptr<Simulator> simulator;
    cim::CIMClient client;
};

const cim::CIMParamValue* find(const std::vector<cim::CIMParamValue>& params, const char* name)
{
    for (const auto& param : params) {
        if (param.getParameterName() == cim::CIMName(name))
            return &param;
    }
    return nullptr;
}

TEST_F(Integration, IntrinsicOperationsOverTheWire)
{
    const auto systems = client.enumerateInstanceNames(kStorage, "CIM_ComputerSystem");
    ASSERT_EQ(systems.size(), 3u);
    const auto controllers = client.associatorNames(kStorage, systems[0], "CIM_ComponentCS", "CIM_ComputerSystem");
    EXPECT_EQ(controllers.size(), 2u);
    const auto disks = client.associators(kStorage, systems[0], "CIM_SystemDevice", "CIM_DiskDrive");
    EXPECT_EQ(disks.size(), 8u);

    // The identifying key alone finds the volume, as clients that reorder keys send it.
    const cim::CIMObjectPath byId("", kStorage, "CIM_StorageVolume", {cim::CIMKeyBinding("DeviceID", CIMValue("3a000001"))});
    auto volume = client.getInstance(kStorage, byId);
    EXPECT_EQ(volume.getPropertyValue("ElementName").get<std::string>(), "vol001");

    const auto full = client.enumerateInstanceNames(kStorage, "CIM_StorageVolume").at(0);
    volume = client.getInstance(kStorage, full);
    volume.setPropertyValue("ElementName", CIMValue("renamed over the wire"));
    client.modifyInstance(kStorage, volume);
    EXPECT_EQ(client.getInstance(kStorage, full).getPropertyValue("ElementName").get<std::string>(), "renamed over the wire");

    const auto probe = client.getInstance(cim::CIMNamespaceName(Namespaces::Internal),
                                          cim::CIMObjectPath("", Namespaces::Internal, "PG_ConfigSetting",
                                                             {cim::CIMKeyBinding("PropertyName", CIMValue("traceLevel"))}));
    EXPECT_EQ(probe.getPropertyValue("PropertyName").get<std::string>(), "traceLevel");
}

TEST_F(Integration, CimErrorsCarryTheirStatusCodes)
{
    auto statusOf = [](auto&& operation) {
        try {
            operation();
        } catch (const cim::CIMException& e) {
            return e.getCodeNumber();
        }
        return 0;
    };
    EXPECT_EQ(statusOf([&] { client.enumerateInstances(cim::CIMNamespaceName("root/nowhere"), "CIM_StorageVolume"); }), 3);
    EXPECT_EQ(statusOf([&] { client.enumerateInstances(kStorage, "CIM_NoSuchClass"); }), 5);
    EXPECT_EQ(statusOf([&] {
                  client.getInstance(kStorage, cim::CIMObjectPath("", kStorage, "CIM_StorageVolume",
                                                                  {cim::CIMKeyBinding("DeviceID", CIMValue("3a0000ff"))}));
              }),
              6);
    std::vector<cim::CIMParamValue> out;
    EXPECT_EQ(statusOf([&] { call(service("Merrow_StorageConfigurationService"), "NoSuchMethod", {}, out); }), 17);
    auto volume = client.getInstance(kStorage, client.enumerateInstanceNames(kStorage, "CIM_StorageVolume").at(0));
    volume.addProperty(cim::CIMProperty("Colour", CIMValue("green")));
    EXPECT_EQ(statusOf([&] { client.modifyInstance(kStorage, volume); }), 12);
}

TEST_F(Integration, VolumeCreationRunsAsAJobAndRefusalsComeBackAsNumbers)
{
    const auto storage = service("Merrow_StorageConfigurationService");
    std::vector<cim::CIMParamValue> out;
    auto create = [&](const std::string& name, std::uint16_t organization) {
        out.clear();
        return call(storage, "CreateVolume",
                    {cim::CIMParamValue("ElementName", CIMValue(name)),
                     cim::CIMParamValue("Size", CIMValue(std::uint64_t{1} << 30)),
                     cim::CIMParamValue("ChunkSize", CIMValue(std::uint32_t{65536})),
                     cim::CIMParamValue("StripeWidth", CIMValue(std::uint8_t{3})),
                     cim::CIMParamValue("MirrorCount", CIMValue(std::uint8_t{2})),
                     cim::CIMParamValue("VolumeOrganization", CIMValue(organization))},
                    out);
    };
    ASSERT_EQ(create("from the client", 5), ArrayFailure::JobStarted);
    const auto job = find(out, "Job")->getValue().get<cim::CIMObjectPath>();
    const auto created = find(out, "StorageVolume")->getValue().get<cim::CIMObjectPath>();
    EXPECT_EQ(create("from the client", 5), ArrayFailure::DuplicateVolumeName);
    EXPECT_EQ(create("", 5), ArrayFailure::NoVolumeName);
    EXPECT_EQ(create("other", 7), ArrayFailure::UnknownOrganization);

    // Progress moves on its own; wait for the end without timing it.
    std::vector<std::uint16_t> seen;
    for (int attempt = 0; attempt < 400; ++attempt) {
        const auto instance = client.getInstance(kStorage, job);
        seen.push_back(instance.getPropertyValue("PercentComplete").get<std::uint16_t>());
        if (instance.getPropertyValue("OperationalStatus").get<std::vector<std::uint16_t>>().at(0) == 17)
            break;
        ::usleep(20'000);
    }
    ASSERT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(client.getInstance(kStorage, created).getPropertyValue("OperationalStatus").get<std::vector<std::uint16_t>>(),
              std::vector<std::uint16_t>{2});
}

TEST_F(Integration, AuthenticationIsCheckedOnEveryRequest)
{
    cim::CIMClient wrong;
    wrong.connect(address, 5988, "admin", "guess");
    EXPECT_THROW(wrong.enumerateInstanceNames(kStorage, "CIM_ComputerSystem"), cim::CIMHttpErrorException);
    cim::CIMClient none;
    none.connect(address, 5988, "", "");
    EXPECT_THROW(none.enumerateInstanceNames(kStorage, "CIM_ComputerSystem"), cim::CIMHttpErrorException);

    EXPECT_EQ(control("SetRefuseLogins", {cim::CIMParamValue("Refuse", CIMValue(true))}), 0u);
    try {
        client.enumerateInstanceNames(kStorage, "CIM_ComputerSystem");
        ADD_FAILURE() << "log-in accepted while refused";
    } catch (const cim::CIMHttpErrorException& e) {
        EXPECT_STREQ(e.what(), "HTTP Error (401 Unauthorized).");
    }
    EXPECT_EQ(control("SetRefuseLogins", {cim::CIMParamValue("Refuse", CIMValue(false))}), 0u);
    EXPECT_EQ(client.enumerateInstanceNames(kStorage, "CIM_ComputerSystem").size(), 3u);
}

TEST_F(Integration, FaultsSetOverTheControlClass)
{
    EXPECT_EQ(control("FailNextCalls", {cim::CIMParamValue("Operation", CIMValue("EnumerateInstanceNames")),
                                        cim::CIMParamValue("Count", CIMValue(std::uint32_t{1})),
                                        cim::CIMParamValue("Code", CIMValue(std::uint32_t{1}))}),
              0u);
    EXPECT_THROW(client.enumerateInstanceNames(kStorage, "CIM_ComputerSystem"), cim::CIMException);
    EXPECT_EQ(client.enumerateInstanceNames(kStorage, "CIM_ComputerSystem").size(), 3u);

    EXPECT_EQ(control("SetFirmwareVersion", {cim::CIMParamValue("Version", CIMValue("2.4.0.7"))}), 0u);
    EXPECT_EQ(client.enumerateInstances(kStorage, "Merrow_FirmwareImagesInfo")
                  .at(0)
                  .getPropertyValue("ActiveImageVersion")
                  .get<std::string>(),
              "2.4.0.7");
    EXPECT_EQ(control("Failover"), 0u);
    EXPECT_EQ(client.enumerateInstances(kStorage, "Merrow_PingObject").at(0).getPropertyValue("SlotId").get<std::uint16_t>(), 2);

    std::vector<cim::CIMParamValue> out;
    client.invokeMethod(kControl, cim::CIMObjectPath("", kControl, ControlHandler::kClassName), "GetRequestCounters", {}, out);
    const auto operations = find(out, "Operations")->getValue().get<std::vector<std::string>>();
    const auto counts = find(out, "Counts")->getValue().get<std::vector<std::uint64_t>>();
    ASSERT_EQ(operations.size(), counts.size());
    const auto at = std::find(operations.begin(), operations.end(), "EnumerateInstanceNames");
    ASSERT_NE(at, operations.end());
    EXPECT_EQ(counts[at - operations.begin()], 2u);
    EXPECT_EQ(std::find(operations.begin(), operations.end(), "GetRequestCounters"), operations.end());
}

TEST_F(Integration, HangAndDelayHoldAnswersUntilReleased)
{
    client.setTimeout(300);
    simulator->control().setHang(true);
    EXPECT_THROW(client.enumerateInstanceNames(kStorage, "CIM_ComputerSystem"), cim::CIMTimeoutException);
    // The control namespace still answers while the array hangs.
    EXPECT_EQ(control("SetHang", {cim::CIMParamValue("Hang", CIMValue(false))}), 0u);
    EXPECT_EQ(client.enumerateInstanceNames(kStorage, "CIM_ComputerSystem").size(), 3u);
    simulator->control().setDelay(std::chrono::milliseconds(5000));
    EXPECT_THROW(client.enumerateInstanceNames(kStorage, "CIM_ComputerSystem"), cim::CIMTimeoutException);
    simulator->control().setDelay(std::chrono::milliseconds(0));
}

TEST_F(Integration, DroppedRequestsAndConnections)
{
    simulator->control().dropNextRequests(1);
    const auto storage = service("Merrow_StorageConfigurationService");
    simulator->control().dropNextRequests(1);
    std::vector<cim::CIMParamValue> out;
    // A method call is never sent twice, so the client sees the dropped connection.
    EXPECT_THROW(call(storage, "GetBasePool", {}, out), cim::CIMNotConnectedException);
    EXPECT_EQ(call(storage, "GetBasePool", {}, out), 0u);
    simulator->control().dropConnections();
    EXPECT_EQ(client.enumerateInstanceNames(kStorage, "CIM_ComputerSystem").size(), 3u);
    EXPECT_EQ(simulator->control().requestCount("GetBasePool"), 1u);
}

// Raw HTTP, for what a correct client never sends.
struct RawReply {
    unsigned status;
    std::string cimError;
};

RawReply post(const std::string& address, const std::string& body, const std::string& method,
              const std::string& object, const char* protocolVersion = "1.0")
{
    cim::HttpClientConnection connection;
    connection.connect(address, 5988);
    cim::HttpClientConnection::Request request{http::verb::post, "/cimom", 11};
    request.set(http::field::content_type, "application/xml; charset=\"utf-8\"");
    request.set(http::field::authorization, "Basic YWRtaW46c2VjcmV0");
    request.set("CIMOperation", "MethodCall");
    request.set("CIMMethod", method);
    request.set("CIMObject", object);
    request.set("CIMProtocolVersion", protocolVersion);
    request.body() = body;
    const auto response = connection.exchange(request);
    auto error = response.find("CIMError");
    return {response.result_int(), error == response.end() ? std::string() : std::string(error->value())};
}

std::string enumerateBody()
{
    cim::CIMRequest request;
    request.messageId = "9";
    request.methodName = "EnumerateInstanceNames";
    request.nameSpace = Namespaces::Storage;
    request.params.emplace_back("ClassName", CIMValue("CIM_ComputerSystem"));
    return cim::encodeRequest(request);
}

TEST_F(Integration, StrictAboutHeadersAndVersions)
{
    const std::string body = enumerateBody();
    const RawReply good = post(address, body, "EnumerateInstanceNames", "root%2Fsnia");
    EXPECT_EQ(good.status, 200u);
    const RawReply wrongMethod = post(address, body, "EnumerateInstances", "root%2Fsnia");
    EXPECT_EQ(wrongMethod.status, 400u);
    EXPECT_EQ(wrongMethod.cimError, "header-mismatch");
    const RawReply wrongObject = post(address, body, "EnumerateInstanceNames", "root%2Fcimv2");
    EXPECT_EQ(wrongObject.status, 400u);
    EXPECT_EQ(wrongObject.cimError, "header-mismatch");
    const RawReply version = post(address, body, "EnumerateInstanceNames", "root%2Fsnia", "2.0");
    EXPECT_EQ(version.status, 501u);
    EXPECT_EQ(version.cimError, "unsupported-protocol-version");
    const RawReply notXml = post(address, "<CIM", "EnumerateInstanceNames", "root%2Fsnia");
    EXPECT_EQ(notXml.status, 400u);
    EXPECT_EQ(notXml.cimError, "request-not-well-formed");
    std::string oldDtd = body;
    oldDtd.replace(oldDtd.find("DTDVERSION=\"2.0\""), 16, "DTDVERSION=\"3.0\"");
    EXPECT_EQ(post(address, oldDtd, "EnumerateInstanceNames", "root%2Fsnia").cimError, "unsupported-dtd-version");
}

TEST(IntegrationIdle, IdleConnectionsAreClosedAndReopened)
{
    const std::string address = uniqueAddress();
    auto options = optionsFor(address);
    options.idleTimeout = std::chrono::milliseconds(100);
    Simulator simulator(options);
    simulator.start();
    cim::HttpClientConnection connection;
    connection.connect(address, 5988);
    cim::HttpClientConnection::Request request{http::verb::post, "/cimom", 11};
    request.set(http::field::authorization, "Basic YWRtaW46c2VjcmV0");
    request.set("CIMOperation", "MethodCall");
    request.set("CIMMethod", "EnumerateInstanceNames");
    request.set("CIMObject", "root%2Fsnia");
    request.body() = enumerateBody();
    EXPECT_EQ(connection.exchange(request).result_int(), 200u);
    const auto opened = connection.connectionsOpened();
    ::usleep(400'000);
    EXPECT_EQ(connection.exchange(request).result_int(), 200u);
    EXPECT_EQ(connection.connectionsOpened(), opened + 1);
}

class Collector : public cim::CIMIndicationConsumer {
public:
    void consumeIndication(const cim::CIMIndicationContext&, const std::string& url, const cim::CIMInstance& indication) override
    {
        std::lock_guard lock(m_mutex);
        m_received.emplace_back(url, indication);
        m_wake.notify_all();
    }
    // Waits (releasing on every arrival) until `count` indications came or the limit passed.
    std::vector<std::pair<std::string, cim::CIMInstance>> waitFor(std::size_t count)
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait_for(lock, std::chrono::seconds(10), [&] { return m_received.size() >= count; });
        return m_received;
    }
    std::vector<std::pair<std::string, cim::CIMInstance>> received()
    {
        std::lock_guard lock(m_mutex);
        return m_received;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<std::pair<std::string, cim::CIMInstance>> m_received;
};

std::vector<cim::CIMInstance> volumeIndications(const std::vector<std::pair<std::string, cim::CIMInstance>>& received)
{
    std::vector<cim::CIMInstance> volumes;
    for (const auto& [url, indication] : received) {
        const auto source = indication.getPropertyValue("SourceInstance").get<cim::CIMInstance>();
        if (source.getClassName() == cim::CIMName("CIM_StorageVolume"))
            volumes.push_back(indication);
    }
    return volumes;
}

TEST_F(Integration, IndicationsReachTheSubscribedListener)
{
    cim::CIMListener listener(cim::CIMListenerOptions{"127.0.0.1", 0});
    // The array sends from its own address.
    listener.allowSender(boost::asio::ip::make_address(address));
    Collector collector;
    listener.addConsumer(&collector);
    listener.start();
    const std::string destination = "http://127.0.0.1:" + std::to_string(listener.getPortNumber()) + "/CIMListener/" + address;

    cim::CIMInstance handler("CIM_IndicationHandlerCIMXML");
    handler.addProperty(cim::CIMProperty("SystemCreationClassName", CIMValue("CIM_ComputerSystem")));
    handler.addProperty(cim::CIMProperty("CreationClassName", CIMValue("CIM_IndicationHandlerCIMXML")));
    handler.addProperty(cim::CIMProperty("Name", CIMValue("h_test")));
    handler.addProperty(cim::CIMProperty("PersistenceType", CIMValue(std::uint16_t{2})));
    handler.addProperty(cim::CIMProperty("Destination", CIMValue(destination)));
    const auto handlerPath = client.createInstance(kStorage, handler);
    // An unreachable listener must not hold up the reachable one.
    handler.setPropertyValue("Name", CIMValue("h_dead"));
    handler.setPropertyValue("Destination", CIMValue("http://127.0.0.1:9/CIMListener/dead"));
    const auto deadPath = client.createInstance(kStorage, handler);
    EXPECT_THROW(client.createInstance(kStorage, handler), cim::CIMException);

    for (const char* query : {"SELECT * FROM CIM_InstCreation", "SELECT * FROM CIM_InstModification",
                              "SELECT * FROM CIM_InstDeletion"}) {
        cim::CIMInstance filter("CIM_IndicationFilter");
        filter.addProperty(cim::CIMProperty("SystemCreationClassName", CIMValue("CIM_ComputerSystem")));
        filter.addProperty(cim::CIMProperty("CreationClassName", CIMValue("CIM_IndicationFilter")));
        filter.addProperty(cim::CIMProperty("Name", CIMValue(std::string("MerrowFilter ") + query)));
        filter.addProperty(cim::CIMProperty("SourceNamespace", CIMValue(Namespaces::Storage)));
        filter.addProperty(cim::CIMProperty("Query", CIMValue(query)));
        filter.addProperty(cim::CIMProperty("QueryLanguage", CIMValue("WQL")));
        const auto filterPath = client.createInstance(kStorage, filter);
        for (const auto& target : {deadPath, handlerPath}) {
            cim::CIMInstance subscription("CIM_IndicationSubscription");
            subscription.addProperty(cim::CIMProperty("Filter", CIMValue(filterPath)));
            subscription.addProperty(cim::CIMProperty("Handler", CIMValue(target)));
            subscription.addProperty(cim::CIMProperty("SubscriptionState", CIMValue(std::uint16_t{2})));
            client.createInstance(kStorage, subscription);
        }
    }
    EXPECT_EQ(client.enumerateInstances(kStorage, "CIM_IndicationSubscription").size(), 6u);

    std::string id;
    ASSERT_EQ(simulator->control().addVolume("noticed", 1 << 20, id), ControlResult::Ok);
    const cim::CIMObjectPath volumePath("", kStorage, "CIM_StorageVolume", {cim::CIMKeyBinding("DeviceID", CIMValue(id))});
    auto volume = client.getInstance(kStorage, volumePath);
    volume.setPath(client.enumerateInstanceNames(kStorage, "CIM_StorageVolume").back());
    volume.setPropertyValue("ElementName", CIMValue("noticed and renamed"));
    client.modifyInstance(kStorage, volume);
    ASSERT_EQ(simulator->control().removeVolume(id), ControlResult::Ok);

    std::vector<cim::CIMInstance> volumes;
    for (int attempt = 0; attempt < 100 && volumes.size() < 3; ++attempt) {
        volumes = volumeIndications(collector.waitFor(collector.received().size() + 1));
    }
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(volumes[0].getClassName(), cim::CIMName("CIM_InstCreation"));
    EXPECT_EQ(volumes[1].getClassName(), cim::CIMName("CIM_InstModification"));
    EXPECT_EQ(volumes[1].getPropertyValue("PreviousInstance").get<cim::CIMInstance>().getPropertyValue("ElementName"),
              CIMValue("noticed"));
    EXPECT_EQ(volumes[2].getClassName(), cim::CIMName("CIM_InstDeletion"));
    const auto source = cim::CIMObjectPath::parse(volumes[0].getPropertyValue("SourceInstanceModelPath").get<std::string>());
    EXPECT_EQ(source.findKeyBinding("DeviceID")->getValue(), id);
    EXPECT_EQ(collector.received().front().first, "/" + address);
    EXPECT_GT(simulator->indications().dropped(), 0u);
    listener.stop();
}

TEST(IntegrationRestart, StateSurvivesARestart)
{
    const std::string address = uniqueAddress();
    const auto file = std::filesystem::temp_directory_path() / ("sim-restart-" + std::to_string(::getpid()) + ".json");
    std::filesystem::remove(file);
    auto options = optionsFor(address);
    options.stateFile = file.string();
    options.jobs = false;
    {
        Simulator simulator(options);
        simulator.start();
        cim::CIMClient client;
        client.connect(address, 5988, "admin", "secret");
        std::vector<cim::CIMParamValue> out;
        const auto storage = client.enumerateInstanceNames(kStorage, "Merrow_StorageConfigurationService").at(0);
        ASSERT_EQ(client.invokeMethod(kStorage, storage, "CreateVolume",
                                      {cim::CIMParamValue("ElementName", CIMValue("kept")),
                                       cim::CIMParamValue("Size", CIMValue(std::uint64_t{1} << 30)),
                                       cim::CIMParamValue("VolumeOrganization", CIMValue(std::uint16_t{1}))},
                                      out)
                      .get<std::uint32_t>(),
                  0u);
        const auto masking = client.enumerateInstanceNames(kStorage, "CIM_ControllerConfigurationService").at(0);
        ASSERT_EQ(client.invokeMethod(kStorage, masking, "ExposePaths",
                                      {cim::CIMParamValue("InitiatorPortIDs", CIMValue(std::vector<std::string>{
                                                                                  "iqn.2024-01.org.example:host2"})),
                                       cim::CIMParamValue("LUNames", CIMValue(std::vector<std::string>{"3a000003"}))},
                                      out)
                      .get<std::uint32_t>(),
                  0u);
        simulator.stop();
    }
    options.array.volumes = 0;
    Simulator restarted(options);
    restarted.start();
    cim::CIMClient client;
    client.connect(address, 5988, "admin", "secret");
    const auto volumes = client.enumerateInstances(kStorage, "CIM_StorageVolume");
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(volumes[2].getPropertyValue("ElementName").get<std::string>(), "kept");
    const auto target = client.associatorNames(kStorage, client.enumerateInstanceNames(kStorage, "CIM_StorageVolume")[2],
                                               "CIM_ProtocolControllerForUnit", "CIM_SCSIProtocolController");
    ASSERT_EQ(target.size(), 1u);
    EXPECT_EQ(client.associators(kStorage, target[0], "CIM_AuthorizedTarget", "CIM_AuthorizedPrivilege").size(), 1u);
    restarted.stop();
    std::filesystem::remove(file);
}

} // namespace
} // namespace Merrow::Sim
