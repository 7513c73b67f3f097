#pragma once

#include "cim/http/HttpServer.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <atomic>
#include <functional>
#include <thread>

namespace cim {

// One accepted connection of an HttpServer with the thread that serves it. The connection's
// socket moves to an io_context of its own that only this thread runs, so the session needs
// no strand, a handler that blocks holds up only its own connection, and a request on a
// keep-alive connection goes from read to handler to write without changing threads.
//
// Threads: constructed, stopped and destroyed by the server's accept thread or by the thread
// that stops the server; finished() from any thread.
class HttpConnectionThread {
public:
    HttpConnectionThread(boost::asio::ip::tcp::socket accepted, const HttpServerOptions& options,
                         const HttpRequestHandler& handler, std::function<void()> onSessionFinished);
    // onSessionFinished is called exactly once, on the connection's thread when the
    // connection closes, or before the constructor throws when it could not be served.
    // Stops the connection if it is still open and joins the thread.
    ~HttpConnectionThread();
    HttpConnectionThread(const HttpConnectionThread&) = delete;
    HttpConnectionThread& operator=(const HttpConnectionThread&) = delete;

    // True once the connection has closed and the thread has nothing left to do.
    bool finished() const { return m_finished.load(); }

private:
    void run();

    boost::asio::io_context m_ioc{1};
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

} // namespace cim
