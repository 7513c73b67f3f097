#include "cim/http/HttpClientConnection.h"

#include "ScriptedHttpPeer.h"
#include "cim/http/CIMTransportExceptions.h"
#include "cim/http/HttpServer.h"

#include <boost/asio/ip/tcp.hpp>
#include <gtest/gtest.h>

#include <mutex>

namespace cim {
namespace {

namespace http = boost::beast::http;
using test::ScriptedConnection;
using test::ScriptedHttpPeer;

HttpClientConnection::Request postOf(std::string body)
{
    HttpClientConnection::Request request{http::verb::post, "/cimom", 11};
    request.body() = std::move(body);
    return request;
}

HttpServerReply echoReply(const HttpRequest& request)
{
    HttpServerReply reply;
    reply.message.result(http::status::ok);
    reply.message.body() = "echo:" + request.body();
    return reply;
}

TEST(HttpClientConnection, ManyRequestsShareOneKeptAliveConnection)
{
    HttpServer server({.address = "127.0.0.1"}, [](const HttpRequest& r, const HttpRequestContext&) { return echoReply(r); });
    server.start();
    HttpClientConnection client;
    client.connect("127.0.0.1", server.port());
    for (int i = 0; i < 25; ++i) {
        const std::string text = std::string("n") + std::to_string(i);
        auto request = postOf(text);
        EXPECT_EQ(client.exchange(request).body(), "echo:" + text);
    }
    EXPECT_EQ(client.connectionsOpened(), 1u);
    EXPECT_EQ(server.acceptedConnections(), 1u);
}

TEST(HttpClientConnection, LocalAddressIsTheAddressTheServerSees)
{
    std::mutex mutex;
    std::string seenByServer;
    HttpServer server({.address = "127.0.0.1"}, [&](const HttpRequest& r, const HttpRequestContext& context) {
        std::lock_guard lock(mutex);
        seenByServer = context.remote.address().to_string();
        return echoReply(r);
    });
    server.start();
    HttpClientConnection client;
    client.connect("127.0.0.1", server.port());
    auto request = postOf("x");
    client.exchange(request);
    std::lock_guard lock(mutex);
    EXPECT_EQ(client.localAddress(), seenByServer);
}

TEST(HttpClientConnection, RequestCarriesHostAndLengthButNeverExpect)
{
    std::string received;
    ScriptedHttpPeer peer([&](ScriptedConnection& c) {
        received = c.readRequest();
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
    });
    HttpClientConnection client;
    client.connect("127.0.0.1", peer.port());
    auto request = postOf("12345");
    request.set(http::field::expect, "100-continue");
    client.exchange(request);
    client.close();
    peer.waitForFinishedConnections(1);
    EXPECT_NE(received.find("Host: 127.0.0.1:" + std::to_string(peer.port()) + "\r\n"), std::string::npos);
    EXPECT_NE(received.find("Content-Length: 5\r\n"), std::string::npos);
    EXPECT_EQ(received.find("Expect"), std::string::npos);
}

struct ReplyCase {
    const char* description;
    std::string wire;
    std::string expectedBody;
    std::string trailerName;
    std::string trailerValue;
};

void PrintTo(const ReplyCase& c, std::ostream* out)
{
    *out << c.description;
}

class HttpClientConnectionReplies : public ::testing::TestWithParam<ReplyCase> {};

// Each reply is also sent one byte per write, so the reader meets every split point.
TEST_P(HttpClientConnectionReplies, AreReadWholeWhateverTheFraming)
{
    const ReplyCase& c = GetParam();
    for (bool bytewise : {false, true}) {
        ScriptedHttpPeer peer([&](ScriptedConnection& connection) {
            connection.readRequest();
            bytewise ? connection.sendBytewise(c.wire) : connection.send(c.wire);
            connection.waitForClose();
        });
        HttpClientConnection client;
        client.connect("127.0.0.1", peer.port());
        auto request = postOf("q");
        const auto response = client.exchange(request);
        EXPECT_EQ(response.result_int(), 200) << c.description;
        EXPECT_EQ(response.body(), c.expectedBody) << c.description;
        if (!c.trailerName.empty()) {
            EXPECT_EQ(response[c.trailerName], c.trailerValue) << c.description;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Framing, HttpClientConnectionReplies,
    ::testing::Values(
        ReplyCase{"zero-padded length", "HTTP/1.1 200 OK\r\ncontent-length: 0000000005\r\n\r\nhello", "hello", "", ""},
        ReplyCase{"upper-case header names", "HTTP/1.1 200 OK\r\nCONTENT-LENGTH: 3\r\nCIMOPERATION: MethodResponse\r\n\r\nabc",
                  "abc", "CIMOperation", "MethodResponse"},
        ReplyCase{"chunked with trailers",
                  "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nTrailer: CIMStatusCode\r\n\r\n"
                  "4\r\nabcd\r\n3;ext=1\r\nefg\r\n0\r\nCIMStatusCode: 5\r\nCIMStatusCodeDescription: nope\r\n\r\n",
                  "abcdefg", "CIMStatusCode", "5"},
        ReplyCase{"interim 100 Continue first", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", "ok", "",
                  ""},
        ReplyCase{"empty body", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", "", "", ""}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(HttpClientConnection, ReplyThatClosesTheConnectionIsFollowedByAReconnect)
{
    ScriptedHttpPeer peer([](ScriptedConnection& c) {
        c.readRequest();
        c.send("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 2\r\n\r\nok");
    });
    HttpClientConnection client;
    client.connect("127.0.0.1", peer.port());
    for (int i = 0; i < 3; ++i) {
        auto request = postOf("q");
        EXPECT_EQ(client.exchange(request).body(), "ok");
    }
    EXPECT_EQ(client.connectionsOpened(), 3u);
    EXPECT_EQ(client.localAddress(), "127.0.0.1") << "known while the link waits to be reopened";
    client.close();
    EXPECT_EQ(client.localAddress(), "");
}

TEST(HttpClientConnection, IdleConnectionClosedByServerIsReopenedBeforeSending)
{
    ScriptedHttpPeer peer([](ScriptedConnection& c) {
        c.readRequest();
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    });
    HttpClientConnection client;
    client.connect("127.0.0.1", peer.port());
    auto first = postOf("q");
    client.exchange(first);
    peer.waitForFinishedConnections(1);
    auto second = postOf("q");
    EXPECT_EQ(client.exchange(second).body(), "ok");
    EXPECT_EQ(client.connectionsOpened(), 2u);
}

TEST(HttpClientConnection, DropWithoutAnyReplyByteAllowsARetry)
{
    ScriptedHttpPeer peer([](ScriptedConnection& c) { c.readRequest(); });
    HttpClientConnection client;
    client.connect("127.0.0.1", peer.port());
    auto request = postOf("q");
    try {
        client.exchange(request);
        FAIL() << "expected CIMNotConnectedException";
    } catch (const CIMNotConnectedException& e) {
        EXPECT_TRUE(e.noReplyReceived());
    }
    EXPECT_TRUE(client.isConnected()) << "the next exchange reopens the link";
}

TEST(HttpClientConnection, DropInTheMiddleOfAReplyIsNotRetryable)
{
    ScriptedHttpPeer peer([](ScriptedConnection& c) {
        c.readRequest();
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial");
    });
    HttpClientConnection client;
    client.connect("127.0.0.1", peer.port());
    auto request = postOf("q");
    try {
        client.exchange(request);
        FAIL() << "expected CIMNotConnectedException";
    } catch (const CIMNotConnectedException& e) {
        EXPECT_FALSE(e.noReplyReceived());
    }
}

TEST(HttpClientConnection, SilentServerRunsIntoTheTimeoutAndTheLinkIsReopenedAfterwards)
{
    std::atomic<int> connection{0};
    ScriptedHttpPeer peer([&](ScriptedConnection& c) {
        c.readRequest();
        if (connection++ == 0)
            return c.waitForClose();
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    });
    HttpClientConnection client;
    client.setTimeout(std::chrono::milliseconds(100));
    client.connect("127.0.0.1", peer.port());
    auto request = postOf("q");
    EXPECT_THROW(client.exchange(request), CIMTimeoutException);
    EXPECT_EQ(client.exchange(request).body(), "ok");
    EXPECT_EQ(client.connectionsOpened(), 2u);
}

class HttpClientConnectionMalformed : public ::testing::TestWithParam<std::pair<const char*, std::string>> {};

TEST_P(HttpClientConnectionMalformed, RepliesAreRejected)
{
    const std::string wire = GetParam().second;
    ScriptedHttpPeer peer([&](ScriptedConnection& c) {
        c.readRequest();
        c.send(wire);
        c.waitForClose();
    });
    HttpClientConnection client;
    client.setMaxReplyBodyBytes(1000);
    client.connect("127.0.0.1", peer.port());
    auto request = postOf("q");
    EXPECT_THROW(client.exchange(request), CIMMalformedHttpException) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, HttpClientConnectionMalformed,
    ::testing::Values(std::make_pair("not HTTP", std::string("SSH-2.0-OpenSSH\r\n\r\n")),
                      std::make_pair("status not a number", std::string("HTTP/1.1 2x0 OK\r\nContent-Length: 0\r\n\r\n")),
                      std::make_pair("negative length", std::string("HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n")),
                      std::make_pair("two different lengths",
                                     std::string("HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab")),
                      std::make_pair("chunk size not hex",
                                     std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nab\r\n0\r\n\r\n")),
                      std::make_pair("body above the limit", std::string("HTTP/1.1 200 OK\r\nContent-Length: 1001\r\n\r\n")),
                      std::make_pair("chunks above the limit",
                                     std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3E9\r\n"))),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(HttpClientConnection, RefusedConnectIsCannotConnect)
{
    boost::asio::io_context ioc;
    boost::asio::ip::tcp::acceptor closed(ioc, {boost::asio::ip::make_address("127.0.0.1"), 0});
    const auto port = closed.local_endpoint().port();
    closed.close();
    HttpClientConnection client;
    EXPECT_THROW(client.connect("127.0.0.1", port), CIMCannotConnectException);
    EXPECT_FALSE(client.isConnected());
}

TEST(HttpClientConnection, ExchangeBeforeConnectOrAfterCloseIsNotConnected)
{
    HttpServer server({.address = "127.0.0.1"}, [](const HttpRequest& r, const HttpRequestContext&) { return echoReply(r); });
    server.start();
    HttpClientConnection client;
    auto request = postOf("q");
    EXPECT_THROW(client.exchange(request), CIMNotConnectedException);
    client.connect("127.0.0.1", server.port());
    client.exchange(request);
    client.close();
    EXPECT_THROW(client.exchange(request), CIMNotConnectedException);
}

} // namespace
} // namespace cim
