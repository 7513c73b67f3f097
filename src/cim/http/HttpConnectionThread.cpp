#include "cim/http/HttpConnectionThread.h"

#include "cim/http/HttpServerSession.h"

#include <boost/asio/post.hpp>

namespace cim {

HttpConnectionThread::HttpConnectionThread(boost::asio::ip::tcp::socket accepted, const HttpServerOptions& options,
                                           const HttpRequestHandler& handler, const HttpHeadCheck& headCheck,
                                           std::function<void()> onSessionFinished)
{
    bool sessionStarted = false;
    try {
        m_peer = accepted.remote_endpoint().address();
        const auto protocol = accepted.local_endpoint().protocol();
        boost::asio::ip::tcp::socket socket(m_ioc, protocol, accepted.release());
        auto session = std::make_shared<HttpServerSession>(std::move(socket), options, handler, headCheck, m_activity,
                                                           onSessionFinished);
        sessionStarted = true;
        m_session = session;
        session->start();
        m_thread = std::thread([this] { run(); });
    } catch (...) {
        // A session that was started reports its end when the io_context is destroyed with
        // this half-built object; one that never was must be reported here.
        if (!sessionStarted)
            onSessionFinished();
        throw;
    }
}

HttpConnectionThread::~HttpConnectionThread()
{
    m_ioc.stop();
    if (m_thread.joinable())
        m_thread.join();
    // Whatever the session still had pending is destroyed with the io_context, and with it
    // the session, which closes the socket.
}

void HttpConnectionThread::evict()
{
    m_evicted = true;
    boost::asio::post(m_ioc, [session = m_session] {
        if (const auto alive = session.lock())
            alive->closeUnlessBusy();
    });
}

void HttpConnectionThread::run()
{
    // The session's handlers catch what they can; an exception escaping here would end the
    // process, so the connection is given up instead.
    try {
        m_ioc.run();
    } catch (...) {
    }
    m_finished = true;
}

} // namespace cim
