// Well-behaved clients while a crowd holds connections open: 500 idle connections and 300
// senders that send one byte a second (each reconnecting when the server closes it).
//   SimulatorGetInstanceInACrowd  GetInstance latency on the simulated array (p50, p99)
//   ListenerDeliveryInACrowd      indication round trip to a CIMListener (p50, p99)
//   SimulatorUnauthenticatedUploads  peak resident memory (VmHWM) of the process while 250
//                                    clients without credentials each upload 16 MiB
// Loopback addresses 127.92.8.x (servers) and 127.92.9.x (the crowd).

#include "sim/Simulator.h"

#include "cim/client/CIMClient.h"
#include "cim/http/HttpClientConnection.h"
#include "cim/listener/CIMIndicationConsumer.h"
#include "cim/listener/CIMListener.h"
#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/xml/CIMExportRequest.h"
#include "cim/xml/CIMXmlCodec.h"

#include <benchmark/benchmark.h>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace Merrow::Sim;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

// Connections held open against one server from two source addresses; a thread sends the
// slow ones a byte a second and reopens whatever the server closed.
class Crowd {
public:
    Crowd(const std::string& server, std::uint16_t port, std::size_t idle, std::size_t slow)
        : m_server(net::ip::make_address(server)), m_port(port)
    {
        for (std::size_t i = 0; i < idle; ++i)
            m_idle.push_back(open("127.92.9.1"));
        for (std::size_t i = 0; i < slow; ++i)
            m_slow.push_back(open("127.92.9.2"));
        m_thread = std::thread([this] { run(); });
    }
    ~Crowd()
    {
        m_stop = true;
        m_thread.join();
    }
    std::uint64_t reopened() const { return m_reopened.load(); }

private:
    std::unique_ptr<tcp::socket> open(const char* from)
    {
        auto socket = std::make_unique<tcp::socket>(m_ioc);
        boost::system::error_code ec;
        socket->open(tcp::v4(), ec);
        socket->bind({net::ip::make_address(from), 0}, ec);
        socket->connect({m_server, m_port}, ec);
        socket->non_blocking(true, ec);
        return socket;
    }
    static bool closed(tcp::socket& socket)
    {
        char byte;
        boost::system::error_code ec;
        socket.receive(net::buffer(&byte, 1), tcp::socket::message_peek, ec);
        return ec != net::error::would_block;
    }
    void run()
    {
        static const std::string head = "POST / HTTP/1.1\r\nHost: crowd\r\nX-Slow: " + std::string(4000, 's');
        std::size_t offset = 0;
        while (!m_stop) {
            for (auto& socket : m_slow) {
                boost::system::error_code ec;
                socket->send(net::buffer(&head[offset % head.size()], 1), 0, ec);
                if (ec || closed(*socket)) {
                    socket = open("127.92.9.2");
                    ++m_reopened;
                }
            }
            for (auto& socket : m_idle) {
                if (closed(*socket)) {
                    socket = open("127.92.9.1");
                    ++m_reopened;
                }
            }
            ++offset;
            for (int i = 0; i < 10 && !m_stop; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    net::io_context m_ioc;
    const net::ip::address m_server;
    const std::uint16_t m_port;
    std::vector<std::unique_ptr<tcp::socket>> m_idle;
    std::vector<std::unique_ptr<tcp::socket>> m_slow;
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_reopened{0};
    std::thread m_thread;
};

void reportPercentiles(benchmark::State& state, std::vector<double> milliseconds)
{
    std::sort(milliseconds.begin(), milliseconds.end());
    auto at = [&](double fraction) {
        return milliseconds[static_cast<std::size_t>(fraction * static_cast<double>(milliseconds.size() - 1))];
    };
    state.counters["p50_ms"] = at(0.50);
    state.counters["p99_ms"] = at(0.99);
    state.counters["max_ms"] = milliseconds.back();
}

std::unique_ptr<Simulator> startSimulator(const char* address)
{
    SimulatorOptions options;
    options.array.address = address;
    options.array.volumes = 16;
    options.user = "admin";
    options.password = "secret";
    options.jobs = false;
    auto simulator = std::make_unique<Simulator>(std::move(options));
    simulator->start();
    return simulator;
}

void SimulatorGetInstanceInACrowd(benchmark::State& state)
{
    const auto simulator = startSimulator("127.92.8.1");
    Crowd crowd("127.92.8.1", simulator->port(), 500, 300);
    cim::CIMClient client;
    client.connect("127.92.8.1", simulator->port(), "admin", "secret");
    const auto volume = client.enumerateInstanceNames(Namespaces::Storage, "CIM_StorageVolume").front();
    std::vector<double> milliseconds;
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(client.getInstance(Namespaces::Storage, volume));
        milliseconds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        // Spread the requests over several seconds of the crowd's trickle.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    reportPercentiles(state, milliseconds);
    state.counters["crowd_reopened"] = static_cast<double>(crowd.reopened());
    client.disconnect();
}
BENCHMARK(SimulatorGetInstanceInACrowd)->Iterations(2000)->UseRealTime()->Unit(benchmark::kMillisecond);

class Counting : public cim::CIMIndicationConsumer {
public:
    void consumeIndication(const cim::CIMIndicationContext&, const std::string&, const cim::CIMInstance&) override
    {
        ++received;
    }
    std::atomic<std::uint64_t> received{0};
};

void ListenerDeliveryInACrowd(benchmark::State& state)
{
    cim::CIMListener listener(cim::CIMListenerOptions{.address = "127.92.8.2"});
    Counting consumer;
    listener.addConsumer(&consumer);
    listener.allowSender(net::ip::make_address("127.92.8.3"));
    listener.start();
    Crowd crowd("127.92.8.2", listener.getPortNumber(), 500, 300);

    cim::CIMInstance indication("CIM_InstCreation");
    indication.addProperty(cim::CIMProperty("IndicationIdentifier", cim::CIMValue("1")));
    const std::string body = cim::encodeExportRequest(cim::CIMExportRequest::indication("1", indication));
    cim::HttpClientConnection sender;
    sender.setSourceAddress("127.92.8.3");
    sender.connect("127.92.8.2", listener.getPortNumber());
    std::vector<double> milliseconds;
    for (auto _ : state) {
        cim::HttpClientConnection::Request request{boost::beast::http::verb::post, "/CIMListener/array", 11};
        request.set("CIMExport", "MethodRequest");
        request.set("CIMExportMethod", "ExportIndication");
        request.body() = body;
        const auto start = Clock::now();
        if (sender.exchange(request).result_int() != 200)
            state.SkipWithError("indication refused");
        milliseconds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    reportPercentiles(state, milliseconds);
    state.counters["delivered"] = static_cast<double>(consumer.received.load());
    state.counters["crowd_reopened"] = static_cast<double>(crowd.reopened());
}
BENCHMARK(ListenerDeliveryInACrowd)->Iterations(2000)->UseRealTime()->Unit(benchmark::kMillisecond);

double peakResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// One client without credentials: the head of a 16 MiB request, then the body until the
// server answers or closes.
void uploadWithoutCredentials(std::uint16_t port, const std::string& chunk)
{
    net::io_context ioc;
    tcp::socket socket(ioc);
    boost::system::error_code ec;
    socket.connect({net::ip::make_address("127.92.8.4"), port}, ec);
    const std::string head = "POST /cimom HTTP/1.1\r\nHost: sim\r\nCIMOperation: MethodCall\r\nCIMMethod: "
                             "EnumerateInstances\r\nCIMObject: root%2Fsnia\r\nContent-Length: "
                             + std::to_string(16u << 20) + "\r\n\r\n";
    net::write(socket, net::buffer(head), ec);
    for (std::size_t sent = 0; !ec && sent < (16u << 20); sent += chunk.size())
        net::write(socket, net::buffer(chunk), ec);
    char reply[256];
    socket.read_some(net::buffer(reply), ec);
}

void SimulatorUnauthenticatedUploads(benchmark::State& state)
{
    const auto simulator = startSimulator("127.92.8.4");
    const std::string chunk(64 * 1024, 'x');
    const double before = peakResidentMegabytes();
    for (auto _ : state) {
        std::vector<std::thread> clients;
        for (int i = 0; i < 250; ++i)
            clients.emplace_back([&] { uploadWithoutCredentials(simulator->port(), chunk); });
        for (auto& client : clients)
            client.join();
    }
    state.counters["VmHWM_before_MB"] = before;
    state.counters["VmHWM_after_MB"] = peakResidentMegabytes();
}
BENCHMARK(SimulatorUnauthenticatedUploads)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
