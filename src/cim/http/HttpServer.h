#pragma once

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
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
    // Connections served at once, each on a thread of its own. A new connection beyond either
    // bound closes the connection that has waited longest for a request (or, when none waits,
    // the one that has been sending its head longest); when every connection is busy, a new
    // one waits unserved until one closes (when too many wait, the one that waited longest is
    // closed), or is closed at once when its peer is over its own bound.
    std::size_t maxConnections = 512;
    std::size_t maxConnectionsPerPeer = 128;
    // Only a connection that has waited (or sent its head) this long may be closed to make
    // room: a fresh one usually has its request on the way.
    std::chrono::milliseconds idleBeforeEviction{1000};
    std::uint64_t maxBodyBytes = 16 * 1024 * 1024;
    std::uint32_t maxHeaderBytes = 64 * 1024;
    // A request's head must arrive in full this soon after its first byte (the first request
    // of a connection: after accept), so that slow senders cannot hold connections.
    std::chrono::milliseconds headTimeout{5000};
    // Limit for receiving a request's body once its head has arrived.
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
// Called on the thread of the connection the request came on, so on several threads at once
// when several connections are open. An exception thrown here becomes a 500 reply.
using HttpRequestHandler = std::function<HttpServerReply(const HttpRequest&, const HttpRequestContext&)>;
// Called on the connection's thread with a request whose head has arrived and whose body has
// not been read yet (its body is empty). A reply refuses the request: the body is not read
// (a small one is skipped, so that the connection stays open for a retry with credentials;
// after a large or chunked one the connection closes) and the handler is not called.
using HttpHeadCheck = std::function<std::optional<HttpServerReply>(const HttpRequest&, const HttpRequestContext&)>;

class HttpConnectionThread;

// A small HTTP/1.1 server: keep-alive, connections bounded in all and per peer address,
// requests refused on their head before their body is read, body and header limits, head,
// body, idle and write time-outs, "Expect: 100-continue" answered, TCP_NODELAY on
// every connection. Malformed requests get 400, too large bodies 413, too large headers 431,
// and the connection is closed after them.
//
// Threads: one accept thread, and one thread per open connection (HttpConnectionThread), so a
// slow or blocked handler holds up only its own connection. start() and stop() from one
// controlling thread; isRunning(), port() and the counters from any thread. m_connections is
// touched only by the accept thread while it runs, and by stop() after it has been joined;
// so are m_waiting and the eviction marks of the connections.
// Shutdown sequence in stop(): stop the accept io_context and join its thread (no new
// connections), then stop and join every connection thread (a handler already running
// finishes first), which closes every connection still open.
class HttpServer {
public:
    HttpServer(HttpServerOptions options, HttpRequestHandler handler, HttpHeadCheck headCheck = {});
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
    // Connections closed to make room for new ones, and new ones closed unserved because their
    // peer was over its bound or too many were already waiting.
    std::uint64_t evictedConnections() const { return m_evictedConnections.load(); }
    std::uint64_t refusedConnections() const { return m_refusedConnections.load(); }

private:
    void bind();
    void acceptNext();
    void onAccepted(const boost::system::error_code& ec, boost::asio::ip::tcp::socket socket);
    void retryAcceptLater();
    // Serves the new connection, makes room for it, lets it wait or closes it.
    void admit(boost::asio::ip::tcp::socket socket);
    // Closes the connection that is the best to give up among those that match; false when
    // every one of them is busy.
    bool evictOne(const std::function<bool(const HttpConnectionThread&)>& among);
    std::size_t liveConnections(const std::function<bool(const HttpConnectionThread&)>& among) const;
    std::size_t waitingFrom(const boost::asio::ip::address& peer) const;
    // Serves waiting connections while there is room; retries later while some still wait.
    void serveWaiting();
    void serveConnection(boost::asio::ip::tcp::socket socket);
    void countConnectionOpened();
    // Called from a session's destructor on its connection thread.
    void sessionFinished();
    // Joins the threads of closed connections; on the accept thread.
    void reapFinishedConnections();

    const HttpServerOptions m_options;
    const HttpRequestHandler m_handler;
    const HttpHeadCheck m_headCheck;

    // Run state, present between start() and stop(). Only the accept thread runs m_ioc, so
    // the acceptor, m_connections and m_waiting need no lock.
    std::unique_ptr<boost::asio::io_context> m_ioc;
    std::optional<boost::asio::ip::tcp::acceptor> m_acceptor;
    std::optional<boost::asio::steady_timer> m_acceptRetryTimer;
    // Keeps the accept thread running while it has nothing else to wait for.
    std::optional<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>> m_acceptWork;
    std::optional<boost::asio::steady_timer> m_waitingTimer;
    std::vector<std::unique_ptr<HttpConnectionThread>> m_connections;
    // Accepted connections not served yet because every served one is busy.
    std::vector<boost::asio::ip::tcp::socket> m_waiting;
    std::thread m_acceptThread;

    std::atomic<bool> m_running{false};
    std::atomic<std::uint16_t> m_port{0};

    std::atomic<bool> m_stopping{false};
    std::atomic<std::size_t> m_activeConnections{0};
    std::atomic<std::size_t> m_peakConnections{0};
    std::atomic<std::uint64_t> m_acceptedConnections{0};
    std::atomic<std::uint64_t> m_evictedConnections{0};
    std::atomic<std::uint64_t> m_refusedConnections{0};
};

} // namespace cim
