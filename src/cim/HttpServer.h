#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace cim {

struct HttpServerOptions {
    // Address to bind; "0.0.0.0" for every IPv4 interface, "::" for IPv6 and IPv4.
    std::string address = "0.0.0.0";
    // 0 binds any free port; port() reports the one chosen.
    std::uint16_t port = 0;
    // Threads that accept, read, run the handler and write.
    unsigned threads = 2;
    // Connections served at once; further ones wait in the listen queue until one closes.
    std::size_t maxConnections = 256;
    std::uint64_t maxBodyBytes = 16 * 1024 * 1024;
    std::uint32_t maxHeaderBytes = 64 * 1024;
    // Limit for receiving one whole request once it has begun (and for the first request of
    // a connection from accept on).
    std::chrono::milliseconds readTimeout{30000};
    // A keep-alive connection that sends no new request for this long is closed.
    std::chrono::milliseconds idleTimeout{60000};
    // Limit for writing one reply.
    std::chrono::milliseconds writeTimeout{30000};
};

// What the handler learns about the connection a request came on.
struct HttpRequestContext {
    boost::asio::ip::tcp::endpoint remote;
    boost::asio::ip::tcp::endpoint local;
};

// The handler's answer. With chunked set the body goes out in chunks of chunkBytes followed by
// the trailer fields (the peer must have asked for trailers with "TE: trailers"). With
// dropConnection set nothing is written and the connection is closed, as a server that fails
// or restarts mid-request would (for fault injection).
struct HttpServerReply {
    boost::beast::http::response<boost::beast::http::string_body> message;
    bool chunked = false;
    std::size_t chunkBytes = 16 * 1024;
    std::vector<std::pair<std::string, std::string>> trailers;
    bool dropConnection = false;
};

using HttpRequest = boost::beast::http::request<boost::beast::http::string_body>;
// Called on one of the server's threads, possibly on several at once. An exception thrown
// here becomes a 500 reply.
using HttpRequestHandler = std::function<HttpServerReply(const HttpRequest&, const HttpRequestContext&)>;

class HttpServerSession;

// A small HTTP/1.1 server: keep-alive, a bounded number of connections, body and header
// limits, read, idle and write time-outs, "Expect: 100-continue" answered, TCP_NODELAY on
// every connection. Malformed requests get 400, too large bodies 413, too large headers 431,
// and the connection is closed after them.
//
// Threads: start() and stop() from one controlling thread; isRunning(), port() and the
// counters from any thread.
// Shutdown sequence in stop(): stop the io_context (no new accept, no new reads), join the
// threads (a handler already running finishes first), then close the acceptor and destroy the
// io_context, which closes every connection still open.
class HttpServer {
public:
    HttpServer(HttpServerOptions options, HttpRequestHandler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds, listens and starts the threads. Throws boost::system::system_error when the
    // address cannot be bound, std::logic_error when already started.
    void start();
    void stop();
    bool isRunning() const { return m_running.load(); }

    // The bound port; 0 before the first start().
    std::uint16_t port() const { return m_port.load(); }

    std::size_t activeConnections() const { return m_activeConnections.load(); }
    std::size_t peakConnections() const { return m_peakConnections.load(); }
    std::uint64_t acceptedConnections() const { return m_acceptedConnections.load(); }

private:
    void bind();
    void acceptNext();
    void onAccepted(const boost::system::error_code& ec, boost::asio::ip::tcp::socket socket);
    void retryAcceptLater();
    void countConnectionOpened();
    // Called from a session's destructor on any thread.
    void sessionFinished();

    const HttpServerOptions m_options;
    const HttpRequestHandler m_handler;

    // Run state, present between start() and stop(). The strand orders everything that
    // touches the acceptor and m_acceptPaused.
    std::unique_ptr<boost::asio::io_context> m_ioc;
    std::optional<boost::asio::strand<boost::asio::io_context::executor_type>> m_acceptStrand;
    std::optional<boost::asio::ip::tcp::acceptor> m_acceptor;
    std::optional<boost::asio::steady_timer> m_acceptRetryTimer;
    bool m_acceptPaused = false;
    std::vector<std::thread> m_threads;

    std::atomic<bool> m_running{false};
    std::atomic<std::uint16_t> m_port{0};

    std::atomic<bool> m_stopping{false};
    std::atomic<std::size_t> m_activeConnections{0};
    std::atomic<std::size_t> m_peakConnections{0};
    std::atomic<std::uint64_t> m_acceptedConnections{0};
};

} // namespace cim
