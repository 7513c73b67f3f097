#pragma once

#include "cim/http/HttpConnectionActivity.h"
#include "cim/http/HttpServer.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace cim {

class HttpServerSession;

// One accepted connection of an HttpServer with the thread that serves it. The connection's
// socket moves to an io_context of its own that only this thread runs, so the session needs
// no strand, a handler that blocks holds up only its own connection, and a request on a
// keep-alive connection goes from read to handler to write without changing threads.
//
// Threads: constructed, evicted, stopped and destroyed by the server's accept thread or by the
// thread that stops the server (the eviction mark is touched only by those); finished() and
// activity() from any thread.
class HttpConnectionThread {
public:
    HttpConnectionThread(boost::asio::ip::tcp::socket accepted, const HttpServerOptions& options,
                         const HttpRequestHandler& handler, const HttpHeadCheck& headCheck,
                         std::function<void()> onSessionFinished);
    // onSessionFinished is called exactly once, on the connection's thread when the
    // connection closes, or before the constructor throws when it could not be served.
    // Stops the connection if it is still open and joins the thread.
    ~HttpConnectionThread();
    HttpConnectionThread(const HttpConnectionThread&) = delete;
    HttpConnectionThread& operator=(const HttpConnectionThread&) = delete;

    // True once the connection has closed and the thread has nothing left to do.
    bool finished() const { return m_finished.load(); }
    const boost::asio::ip::address& peer() const { return m_peer; }
    const HttpConnectionActivity& activity() const { return *m_activity; }

    // Closes the connection unless a request has become busy on it meanwhile; it counts as
    // gone from then on.
    void evict();
    bool evicted() const { return m_evicted; }

private:
    void run();

    boost::asio::io_context m_ioc{1};
    boost::asio::ip::address m_peer;
    std::shared_ptr<HttpConnectionActivity> m_activity = std::make_shared<HttpConnectionActivity>();
    std::weak_ptr<HttpServerSession> m_session;
    bool m_evicted = false;
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

} // namespace cim
