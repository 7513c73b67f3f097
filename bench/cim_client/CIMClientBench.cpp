// End-to-end CIM-XML over HTTP on loopback, run by hand:
//   build/bin/cim_client_bench
//
// EnumerateInstances of 10,000 storage-volume-like instances (22 properties each) through
// CIMClient against an in-process HttpServer that answers with a prepared document (so the
// numbers are the client's: HTTP read plus decode), plain and chunked. Indications per second
// into a CIMListener from 4 sender threads, on kept-alive connections and with a new
// connection per indication.
#include "cim/client/CIMClient.h"
#include "cim/xml/CIMExportRequest.h"
#include "cim/listener/CIMListener.h"
#include "cim/listener/CIMIndicationConsumer.h"
#include "cim/xml/CIMResponse.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/http/HttpClientConnection.h"
#include "cim/http/HttpServer.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace {

using namespace cim;
namespace http = boost::beast::http;

constexpr int kInstances = 10000;

CIMInstance volume(int index)
{
    const std::string id = "600A0B800026B3B2000038B64A1B" + std::to_string(100000 + index);
    CIMInstance v("CIM_StorageVolume");
    v.addProperty(CIMProperty("SystemCreationClassName", CIMValue("Merrow_StorageSystem")));
    v.addProperty(CIMProperty("SystemName", CIMValue("600A0B800026B3B20000000049B4E2C5")));
    v.addProperty(CIMProperty("CreationClassName", CIMValue("CIM_StorageVolume")));
    v.addProperty(CIMProperty("DeviceID", CIMValue(id)));
    v.addProperty(CIMProperty("ElementName", CIMValue("Volume " + std::to_string(index))));
    v.addProperty(CIMProperty("Caption", CIMValue("Storage volume")));
    v.addProperty(CIMProperty("Description", CIMValue("A logical unit exported to hosts & clusters")));
    v.addProperty(CIMProperty("Name", CIMValue(id)));
    v.addProperty(CIMProperty("NameFormat", CIMValue(std::uint16_t{2})));
    v.addProperty(CIMProperty("BlockSize", CIMValue(std::uint64_t{512})));
    v.addProperty(CIMProperty("NumberOfBlocks", CIMValue(std::uint64_t{2147483648ULL} + index)));
    v.addProperty(CIMProperty("ConsumableBlocks", CIMValue(std::uint64_t{2147483000ULL} + index)));
    v.addProperty(CIMProperty("HealthState", CIMValue(std::uint16_t{5})));
    v.addProperty(CIMProperty("EnabledState", CIMValue(std::uint16_t{2})));
    v.addProperty(CIMProperty("OperationalStatus", CIMValue(std::vector<std::uint16_t>{2, 32768})));
    v.addProperty(CIMProperty("DataRedundancy", CIMValue(std::uint16_t{2})));
    v.addProperty(CIMProperty("PackageRedundancy", CIMValue(std::uint16_t{1})));
    v.addProperty(CIMProperty("Primordial", CIMValue(false)));
    v.addProperty(CIMProperty("NoSinglePointOfFailure", CIMValue(true)));
    v.addProperty(CIMProperty("IsBasedOnUnderlyingRedundancy", CIMValue(true)));
    v.addProperty(CIMProperty("InstallDate", CIMValue(CIMDateTime("20240131235959.000000+000"))));
    v.addProperty(CIMProperty("ExtentStripeLength", CIMValue(std::uint16_t{4})));
    v.setPath(CIMObjectPath("root/snia:CIM_StorageVolume.SystemCreationClassName=\"Merrow_StorageSystem\","
                            "SystemName=\"600A0B800026B3B20000000049B4E2C5\",CreationClassName=\"CIM_StorageVolume\","
                            "DeviceID=\"" + id + "\""));
    return v;
}

// The answer document split around its MESSAGE ID, which has to echo the request's.
struct PreparedAnswer {
    std::string beforeId;
    std::string afterId;
};

const PreparedAnswer& enumerateAnswer()
{
    static const PreparedAnswer answer = [] {
        CIMResponse response;
        response.messageId = "@ID@";
        response.methodName = CIMName("EnumerateInstances");
        response.kind = CIMReturnKind::NamedInstances;
        for (int i = 0; i < kInstances; ++i)
            response.instances.push_back(volume(i));
        const std::string xml = encodeResponse(response);
        const std::size_t at = xml.find("@ID@");
        return PreparedAnswer{xml.substr(0, at), xml.substr(at + 4)};
    }();
    return answer;
}

std::string messageIdOf(const std::string& request)
{
    const std::string marker = "MESSAGE ID=\"";
    const std::size_t start = request.find(marker) + marker.size();
    return request.substr(start, request.find('"', start) - start);
}

HttpServerReply answer(const HttpRequest& request, bool chunked)
{
    const PreparedAnswer& prepared = enumerateAnswer();
    HttpServerReply reply;
    reply.message.result(http::status::ok);
    reply.message.set("CIMOperation", "MethodResponse");
    reply.message.set(http::field::content_type, "application/xml; charset=\"utf-8\"");
    reply.message.body() = prepared.beforeId + messageIdOf(request.body()) + prepared.afterId;
    reply.chunked = chunked;
    reply.trailers = {{"CIMStatusCode", "0"}};
    return reply;
}

void enumerateEndToEnd(benchmark::State& state, bool chunked)
{
    HttpServerOptions options;
    options.address = "127.0.0.1";
    HttpServer server(options, [chunked](const HttpRequest& request, const HttpRequestContext&) {
        return answer(request, chunked);
    });
    server.start();
    CIMClient client;
    client.connect("127.0.0.1", server.port(), "admin", "secret");
    const std::size_t bytes = enumerateAnswer().beforeId.size() + enumerateAnswer().afterId.size();
    for (auto _ : state) {
        auto instances = client.enumerateInstances("root/snia", "CIM_StorageVolume");
        if (instances.size() != kInstances)
            state.SkipWithError("wrong number of instances");
        benchmark::DoNotOptimize(instances.data());
    }
    state.SetItemsProcessed(state.iterations() * kInstances);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
    state.counters["doc_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_EnumerateInstances10k(benchmark::State& state)
{
    enumerateEndToEnd(state, false);
}

void BM_EnumerateInstances10kChunked(benchmark::State& state)
{
    enumerateEndToEnd(state, true);
}

class CountingConsumer : public CIMIndicationConsumer {
public:
    void consumeIndication(const CIMIndicationContext&, const std::string&, const CIMInstance&) override { ++m_count; }

private:
    std::atomic<std::uint64_t> m_count{0};
};

// One listener for all threads of a run, as the array client has one.
CIMListener& sharedListener()
{
    static CountingConsumer consumer;
    static CIMListener listener = [] {
        return CIMListener(CIMListenerOptions{.address = "127.0.0.1"});
    }();
    static std::once_flag started;
    std::call_once(started, [] {
        listener.allowSender(boost::asio::ip::make_address("127.0.0.1"));
        listener.addConsumer(&consumer);
        listener.start();
    });
    return listener;
}

HttpClientConnection::Request indicationRequest(int index)
{
    CIMInstance source("CIM_StorageVolume");
    source.addProperty(CIMProperty("DeviceID", CIMValue("v" + std::to_string(index))));
    source.addProperty(CIMProperty("OperationalStatus", CIMValue(std::vector<std::uint16_t>{2})));
    CIMInstance indication("CIM_InstModification");
    indication.addProperty(CIMProperty("IndicationIdentifier", CIMValue(std::to_string(index))));
    indication.addProperty(CIMProperty("SourceInstanceModelPath",
                                       CIMValue("root/snia:CIM_StorageVolume.DeviceID=\"v" + std::to_string(index) + "\"")));
    indication.addProperty(CIMProperty("SourceInstance", CIMValue(source)));
    indication.addProperty(CIMProperty("PreviousInstance", CIMValue(source)));
    HttpClientConnection::Request request{http::verb::post, "/CIMListener/array1", 11};
    request.set(http::field::content_type, "application/xml; charset=\"utf-8\"");
    request.set("CIMExport", "MethodRequest");
    request.set("CIMExportMethod", "ExportIndication");
    request.set("CIMProtocolVersion", "1.0");
    request.body() = encodeExportRequest(CIMExportRequest::indication(std::to_string(index), indication));
    return request;
}

void indicationsIntoListener(benchmark::State& state, bool keepAlive)
{
    CIMListener& listener = sharedListener();
    HttpClientConnection sender;
    sender.connect("127.0.0.1", listener.getPortNumber());
    HttpClientConnection::Request request = indicationRequest(state.thread_index());
    request.keep_alive(keepAlive);
    for (auto _ : state) {
        if (sender.exchange(request).result_int() != 200)
            state.SkipWithError("indication refused");
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_IndicationsKeepAlive(benchmark::State& state)
{
    indicationsIntoListener(state, true);
}

void BM_IndicationsConnectionEach(benchmark::State& state)
{
    indicationsIntoListener(state, false);
}

BENCHMARK(BM_EnumerateInstances10k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EnumerateInstances10kChunked)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IndicationsKeepAlive)->Threads(4)->UseRealTime();
BENCHMARK(BM_IndicationsConnectionEach)->Threads(4)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
