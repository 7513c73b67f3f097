#include "cim/http/HttpServer.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/write.hpp>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace cim {
namespace {

namespace net = boost::asio;
namespace http = boost::beast::http;
using tcp = net::ip::tcp;
using boost::system::error_code;

// A raw client, to put exactly the bytes a test needs on the wire.
class RawClient {
public:
    explicit RawClient(std::uint16_t port, const char* server = "127.0.0.1", const char* from = nullptr)
        : m_socket(m_ioc)
    {
        if (from != nullptr) {
            m_socket.open(tcp::v4());
            m_socket.bind({net::ip::make_address(from), 0});
        }
        m_socket.connect({net::ip::make_address(server), port});
    }

    void send(std::string_view bytes) { net::write(m_socket, net::buffer(bytes.data(), bytes.size())); }

    // Reads one reply header block plus its Content-Length body; empty when the server closed.
    std::string readReply()
    {
        error_code ec;
        const std::size_t headerEnd = net::read_until(m_socket, net::dynamic_buffer(m_pending), "\r\n\r\n", ec);
        if (ec)
            return {};
        std::size_t length = 0;
        const auto at = m_pending.find("Content-Length: ");
        if (at != std::string::npos && at < headerEnd)
            length = std::stoul(m_pending.substr(at + 16));
        if (m_pending.size() < headerEnd + length)
            net::read(m_socket, net::dynamic_buffer(m_pending), net::transfer_exactly(headerEnd + length - m_pending.size()), ec);
        std::string reply = m_pending.substr(0, headerEnd + length);
        m_pending.erase(0, headerEnd + length);
        return reply;
    }

    // True once the server has closed its end (blocks until it does).
    bool closedByServer()
    {
        char sink[256];
        error_code ec;
        while (!ec)
            m_socket.read_some(net::buffer(sink), ec);
        return ec == net::error::eof || ec == net::error::connection_reset;
    }

private:
    net::io_context m_ioc;
    tcp::socket m_socket;
    std::string m_pending;
};

std::string post(const std::string& body, const std::string& extraHeaders = {})
{
    return "POST /x HTTP/1.1\r\nHost: h\r\n" + extraHeaders + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

HttpServerReply okReply(const std::string& body)
{
    HttpServerReply reply;
    reply.message.result(http::status::ok);
    reply.message.body() = body;
    return reply;
}

HttpServerOptions local()
{
    HttpServerOptions options;
    options.address = "127.0.0.1";
    return options;
}

HttpRequestHandler echo()
{
    return [](const HttpRequest& request, const HttpRequestContext&) { return okReply(request.body()); };
}

TEST(HttpServer, BindsAFreePortAndServesKeepAliveRequests)
{
    HttpServer server(local(), echo());
    server.start();
    ASSERT_NE(server.port(), 0);
    RawClient client(server.port());
    for (const char* body : {"one", "two", ""}) {
        client.send(post(body));
        const std::string reply = client.readReply();
        EXPECT_EQ(reply.substr(0, 15), "HTTP/1.1 200 OK");
        EXPECT_EQ(reply.substr(reply.size() - std::strlen(body)), body);
    }
    EXPECT_EQ(server.acceptedConnections(), 1u);
}

struct BadRequestCase {
    const char* description;
    std::string wire;
    const char* expectedStatusLine;
};

void PrintTo(const BadRequestCase& c, std::ostream* out)
{
    *out << c.description;
}

class HttpServerBadRequests : public ::testing::TestWithParam<BadRequestCase> {};

TEST_P(HttpServerBadRequests, AreAnsweredAndTheConnectionClosed)
{
    HttpServerOptions options = local();
    options.maxBodyBytes = 100;
    options.maxHeaderBytes = 1024;
    HttpServer server(options, echo());
    server.start();
    RawClient client(server.port());
    client.send(GetParam().wire);
    const std::string reply = client.readReply();
    EXPECT_EQ(reply.substr(0, reply.find("\r\n")), GetParam().expectedStatusLine) << GetParam().description;
    EXPECT_TRUE(client.closedByServer());
}

INSTANTIATE_TEST_SUITE_P(
    Limits, HttpServerBadRequests,
    ::testing::Values(BadRequestCase{"body over the limit", post(std::string(101, 'x')), "HTTP/1.1 413 Payload Too Large"},
                      BadRequestCase{"chunked body over the limit",
                                     "POST /x HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n65\r\n", "HTTP/1.1 413 Payload Too Large"},
                      BadRequestCase{"header over the limit", "POST /x HTTP/1.1\r\nX-Big: " + std::string(2000, 'h') + "\r\n\r\n",
                                     "HTTP/1.1 431 Request Header Fields Too Large"},
                      BadRequestCase{"garbage request line", "HELLO THERE\r\n\r\n", "HTTP/1.1 400 Bad Request"},
                      BadRequestCase{"bad length", "POST /x HTTP/1.1\r\nContent-Length: x\r\n\r\n", "HTTP/1.1 400 Bad Request"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(HttpServer, HandlerExceptionBecomes500)
{
    HttpServer server(local(), [](const HttpRequest&, const HttpRequestContext&) -> HttpServerReply {
        throw std::runtime_error("boom");
    });
    server.start();
    RawClient client(server.port());
    client.send(post("x"));
    EXPECT_EQ(client.readReply().substr(0, 12), "HTTP/1.1 500");
}

TEST(HttpServer, HandlerCanDropTheConnectionWithoutAnswering)
{
    HttpServer server(local(), [](const HttpRequest&, const HttpRequestContext&) {
        HttpServerReply reply;
        reply.dropConnection = true;
        return reply;
    });
    server.start();
    RawClient client(server.port());
    client.send(post("x"));
    EXPECT_EQ(client.readReply(), "");
    EXPECT_TRUE(client.closedByServer());
}

TEST(HttpServer, ExpectContinueIsAnsweredBeforeTheBodyIsSent)
{
    HttpServer server(local(), echo());
    server.start();
    RawClient client(server.port());
    client.send("POST /x HTTP/1.1\r\nHost: h\r\nExpect: 100-continue\r\nContent-Length: 4\r\n\r\n");
    EXPECT_EQ(client.readReply(), "HTTP/1.1 100 Continue\r\n\r\n");
    client.send("body");
    const std::string reply = client.readReply();
    EXPECT_EQ(reply.substr(0, 15), "HTTP/1.1 200 OK");
    EXPECT_EQ(reply.substr(reply.size() - 4), "body");
}

TEST(HttpServer, ChunkedReplyCarriesTrailersAndFallsBackToALengthForHttp10)
{
    HttpServer server(local(), [](const HttpRequest&, const HttpRequestContext&) {
        HttpServerReply reply = okReply("0123456789");
        reply.chunked = true;
        reply.chunkBytes = 4;
        reply.trailers = {{"CIMStatusCode", "0"}};
        return reply;
    });
    server.start();
    {
        RawClient client(server.port());
        client.send(post("x"));
        std::string wire = client.readReply();
        std::string rest(256, '\0');
        EXPECT_NE(wire.find("Transfer-Encoding: chunked"), std::string::npos);
        EXPECT_NE(wire.find("Trailer: CIMStatusCode"), std::string::npos);
        // The chunks follow the header block that readReply() returned.
        wire += client.readReply();
        EXPECT_NE(wire.find("4\r\n0123\r\n4\r\n4567\r\n2\r\n89\r\n0\r\nCIMStatusCode: 0\r\n\r\n"), std::string::npos);
    }
    RawClient old(server.port());
    old.send("POST /x HTTP/1.0\r\nContent-Length: 0\r\n\r\n");
    const std::string reply = old.readReply();
    EXPECT_NE(reply.find("Content-Length: 10"), std::string::npos);
    EXPECT_EQ(reply.find("chunked"), std::string::npos);
    EXPECT_TRUE(old.closedByServer()) << "HTTP/1.0 without keep-alive";
}

TEST(HttpServer, IdleAndSlowConnectionsAreClosed)
{
    HttpServerOptions options = local();
    options.idleTimeout = std::chrono::milliseconds(100);
    options.headTimeout = std::chrono::milliseconds(100);
    HttpServer server(options, echo());
    server.start();

    RawClient idle(server.port());
    idle.send(post("x"));
    idle.readReply();
    EXPECT_TRUE(idle.closedByServer());

    RawClient slow(server.port());
    slow.send("POST /x HTTP/1.1\r\nContent-Le");
    EXPECT_TRUE(slow.closedByServer());
}

// A handler that holds requests whose body is "block" until released.
class BlockingHandler {
public:
    HttpRequestHandler handler()
    {
        return [this](const HttpRequest& request, const HttpRequestContext&) {
            if (request.body() == "block") {
                std::unique_lock lock(m_mutex);
                ++m_blocked;
                m_changed.notify_all();
                m_changed.wait(lock, [&] { return m_release; });
            }
            return okReply(request.body());
        };
    }
    void waitForBlocked(int count)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_blocked >= count; });
    }
    void release()
    {
        std::lock_guard lock(m_mutex);
        m_release = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_blocked = 0;
    bool m_release = false;
};

TEST(HttpServer, ConnectionsBeyondTheLimitWaitWhileEveryOneIsBusy)
{
    HttpServerOptions options = local();
    options.maxConnections = 3;
    BlockingHandler blocking;
    HttpServer server(options, blocking.handler());
    server.start();
    std::vector<std::unique_ptr<RawClient>> held;
    for (int i = 0; i < 3; ++i) {
        held.push_back(std::make_unique<RawClient>(server.port()));
        held.back()->send(post("block"));
    }
    blocking.waitForBlocked(3);
    RawClient waiting(server.port());
    waiting.send(post("waiting"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(server.peakConnections(), 3u) << "the fourth connection must not be served yet";
    EXPECT_EQ(server.evictedConnections(), 0u) << "busy connections are never closed to make room";
    blocking.release();
    const std::string reply = waiting.readReply();
    EXPECT_EQ(reply.substr(reply.size() - 7), "waiting");
    EXPECT_EQ(server.refusedConnections(), 0u);
}

TEST(HttpServer, BurstOfShortConnectionsFromManyThreadsIsServed)
{
    HttpServerOptions options = local();
    options.maxConnections = 8;
    HttpServer server(options, echo());
    server.start();
    constexpr int kThreads = 4;
    constexpr int kPerThread = 250;
    std::atomic<int> answered{0};
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t) {
        senders.emplace_back([&] {
            for (int i = 0; i < kPerThread; ++i) {
                RawClient client(server.port());
                client.send(post("ping", "Connection: close\r\n"));
                if (client.readReply().find("ping") != std::string::npos)
                    ++answered;
            }
        });
    }
    for (auto& sender : senders)
        sender.join();
    EXPECT_EQ(answered.load(), kThreads * kPerThread);
    EXPECT_LE(server.peakConnections(), 8u);
}

TEST(HttpServer, HandlersThatBlockHoldUpOnlyTheirOwnConnections)
{
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    std::atomic<int> blocked{0};
    HttpServer server(local(), [&](const HttpRequest& request, const HttpRequestContext&) {
        if (request.body() == "block") {
            ++blocked;
            std::unique_lock lock(mutex);
            released.wait(lock, [&] { return release; });
        }
        return okReply(request.body());
    });
    server.start();
    // More blocked requests than any fixed pool a server of this kind would start with.
    constexpr int kBlocked = 12;
    std::vector<std::unique_ptr<RawClient>> stuck;
    for (int i = 0; i < kBlocked; ++i) {
        stuck.push_back(std::make_unique<RawClient>(server.port()));
        stuck.back()->send(post("block"));
    }
    while (blocked.load() < kBlocked)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    RawClient free(server.port());
    free.send(post("free"));
    const std::string reply = free.readReply();
    EXPECT_EQ(reply.substr(reply.size() - 4), "free");

    {
        std::lock_guard lock(mutex);
        release = true;
    }
    released.notify_all();
    for (auto& client : stuck) {
        const std::string unblocked = client->readReply();
        EXPECT_EQ(unblocked.substr(unblocked.size() - 5), "block");
    }
}

TEST(HttpServer, StopClosesOpenConnectionsAndCanBeRepeated)
{
    HttpServer server(local(), echo());
    server.start();
    RawClient client(server.port());
    client.send(post("x"));
    client.readReply();
    server.stop();
    EXPECT_TRUE(client.closedByServer());
    EXPECT_EQ(server.activeConnections(), 0u);
    server.stop();
    EXPECT_FALSE(server.isRunning());
}

TEST(HttpServer, BindingATakenPortFails)
{
    HttpServer first(local(), echo());
    first.start();
    HttpServerOptions options = local();
    options.port = first.port();
    HttpServer second(options, echo());
    EXPECT_THROW(second.start(), boost::system::system_error);
    EXPECT_FALSE(second.isRunning());
}

// ---- crowds of idle and slow connections -------------------------------------------------

// The connections these tests hold are idle from the start: they may make room at once.
HttpServerOptions crowded(const char* address)
{
    HttpServerOptions options;
    options.address = address;
    options.idleBeforeEviction = std::chrono::milliseconds(0);
    return options;
}

// Waits until the server has taken on `count` connections.
void waitForAccepted(const HttpServer& server, std::uint64_t count)
{
    while (server.acceptedConnections() < count)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::string bodyOf(const std::string& reply)
{
    return reply.substr(reply.find("\r\n\r\n") + 4);
}

TEST(HttpServerCrowding, AtTheBoundTheLongestIdleConnectionMakesRoom)
{
    constexpr const char* kServer = "127.92.0.1";
    HttpServerOptions options = crowded(kServer);
    options.maxConnections = 4;
    HttpServer server(options, echo());
    server.start();
    std::vector<std::unique_ptr<RawClient>> idle;
    for (std::uint64_t i = 1; i <= 4; ++i) {
        idle.push_back(std::make_unique<RawClient>(server.port(), kServer));
        waitForAccepted(server, i);
    }
    RawClient client(server.port(), kServer);
    client.send(post("served"));
    EXPECT_EQ(bodyOf(client.readReply()), "served");
    EXPECT_TRUE(idle.front()->closedByServer()) << "the oldest idle connection goes first";
    EXPECT_EQ(server.evictedConnections(), 1u);
    // The others are still served.
    idle.back()->send(post("still here"));
    EXPECT_EQ(bodyOf(idle.back()->readReply()), "still here");
}

TEST(HttpServerCrowding, APeerOverItsBoundGivesUpItsOwnConnectionsNotOthers)
{
    constexpr const char* kServer = "127.92.0.2";
    HttpServerOptions options = crowded(kServer);
    options.maxConnectionsPerPeer = 2;
    HttpServer server(options, echo());
    server.start();
    RawClient other(server.port(), kServer, "127.92.0.12");
    RawClient first(server.port(), kServer, "127.92.0.11");
    RawClient second(server.port(), kServer, "127.92.0.11");
    waitForAccepted(server, 3);
    RawClient third(server.port(), kServer, "127.92.0.11");
    third.send(post("third"));
    EXPECT_EQ(bodyOf(third.readReply()), "third");
    EXPECT_TRUE(first.closedByServer());
    other.send(post("other"));
    EXPECT_EQ(bodyOf(other.readReply()), "other") << "the older connection of another peer stays";
}

TEST(HttpServerCrowding, APeerWhoseConnectionsAreAllBusyHasMoreClosedUnserved)
{
    constexpr const char* kServer = "127.92.0.3";
    HttpServerOptions options = crowded(kServer);
    options.maxConnectionsPerPeer = 2;
    BlockingHandler blocking;
    HttpServer server(options, blocking.handler());
    server.start();
    RawClient busy1(server.port(), kServer, "127.92.0.13");
    RawClient busy2(server.port(), kServer, "127.92.0.13");
    busy1.send(post("block"));
    busy2.send(post("block"));
    blocking.waitForBlocked(2);
    RawClient refused(server.port(), kServer, "127.92.0.13");
    EXPECT_TRUE(refused.closedByServer());
    EXPECT_EQ(server.refusedConnections(), 1u);
    RawClient other(server.port(), kServer, "127.92.0.14");
    other.send(post("other"));
    EXPECT_EQ(bodyOf(other.readReply()), "other");
    blocking.release();
    EXPECT_EQ(bodyOf(busy1.readReply()), "block");
}

TEST(HttpServerCrowding, AHeadSentByteByByteIsCutOffEvenAfterAnEarlierRequest)
{
    constexpr const char* kServer = "127.92.0.4";
    HttpServerOptions options = crowded(kServer);
    options.headTimeout = std::chrono::milliseconds(300);
    options.idleTimeout = std::chrono::hours(1);
    options.readTimeout = std::chrono::hours(1);
    HttpServer server(options, echo());
    server.start();
    RawClient slow(server.port(), kServer);
    slow.send(post("first"));
    EXPECT_EQ(bodyOf(slow.readReply()), "first");
    std::atomic<bool> closed{false};
    std::thread trickle([&] {
        const std::string head = "POST /x HTTP/1.1\r\nX-Slow: " + std::string(1000, 's');
        try {
            for (std::size_t i = 0; i < head.size() && !closed; ++i) {
                slow.send(head.substr(i, 1));
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        } catch (const std::exception&) {
            // The server has closed the connection.
        }
    });
    EXPECT_TRUE(slow.closedByServer());
    closed = true;
    trickle.join();
}

// ---- requests refused on their head ------------------------------------------------------

struct KeyCheck {
    std::atomic<int> handled{0};

    HttpRequestHandler handler()
    {
        return [this](const HttpRequest& request, const HttpRequestContext&) {
            ++handled;
            return okReply(request.body());
        };
    }
    static HttpHeadCheck headCheck()
    {
        return [](const HttpRequest& request, const HttpRequestContext&) -> std::optional<HttpServerReply> {
            if (request.find("X-Key") != request.end())
                return std::nullopt;
            HttpServerReply refusal;
            refusal.message.result(http::status::unauthorized);
            return refusal;
        };
    }
};

TEST(HttpServerHeadCheck, ALargeRefusedBodyIsNeverWaitedForAndTheConnectionCloses)
{
    constexpr const char* kServer = "127.92.0.5";
    KeyCheck check;
    HttpServer server(crowded(kServer), check.handler(), KeyCheck::headCheck());
    server.start();
    RawClient client(server.port(), kServer);
    client.send("POST /x HTTP/1.1\r\nHost: h\r\nContent-Length: 16000000\r\n\r\npartial");
    const std::string reply = client.readReply();
    EXPECT_EQ(reply.substr(0, 12), "HTTP/1.1 401");
    EXPECT_NE(reply.find("Connection: close"), std::string::npos);
    EXPECT_TRUE(client.closedByServer());

    RawClient expecting(server.port(), kServer);
    expecting.send("POST /x HTTP/1.1\r\nHost: h\r\nExpect: 100-continue\r\nContent-Length: 10\r\n\r\n");
    EXPECT_EQ(expecting.readReply().substr(0, 12), "HTTP/1.1 401") << "no 100 Continue for a refused request";
    EXPECT_EQ(check.handled.load(), 0);
}

TEST(HttpServerHeadCheck, ASmallRefusedBodyIsSkippedAndTheClientMayRetryOnTheSameConnection)
{
    constexpr const char* kServer = "127.92.0.6";
    KeyCheck check;
    HttpServer server(crowded(kServer), check.handler(), KeyCheck::headCheck());
    server.start();
    RawClient client(server.port(), kServer);
    client.send(post("first try"));
    EXPECT_EQ(client.readReply().substr(0, 12), "HTTP/1.1 401");
    client.send(post("with the key", "X-Key: 1\r\n"));
    EXPECT_EQ(bodyOf(client.readReply()), "with the key");
    EXPECT_EQ(check.handled.load(), 1);
    EXPECT_EQ(server.acceptedConnections(), 1u);
}

} // namespace
} // namespace cim
