#include "cim/http/HttpServer.h"

#include "cim/http/HttpConnectionThread.h"

#include <boost/asio/post.hpp>

#include <algorithm>
#include <stdexcept>

namespace cim {

namespace net = boost::asio;
using tcp = net::ip::tcp;
using boost::system::error_code;

namespace {

// When the process runs out of descriptors, accepting again at once would spin.
constexpr std::chrono::milliseconds kAcceptRetryDelay{50};

void raiseMax(std::atomic<std::size_t>& peak, std::size_t value)
{
    std::size_t seen = peak.load();
    while (seen < value && !peak.compare_exchange_weak(seen, value)) {
    }
}

} // namespace

HttpServer::HttpServer(HttpServerOptions options, HttpRequestHandler handler)
    : m_options(std::move(options)), m_handler(std::move(handler))
{
}

HttpServer::~HttpServer()
{
    stop();
}

void HttpServer::start()
{
    if (m_ioc)
        throw std::logic_error("HttpServer already started");
    m_stopping = false;
    m_acceptPaused = false;
    m_ioc = std::make_unique<net::io_context>(1);
    m_acceptRetryTimer.emplace(*m_ioc);
    m_acceptWork.emplace(m_ioc->get_executor());
    try {
        bind();
    } catch (...) {
        m_acceptWork.reset();
        m_acceptRetryTimer.reset();
        m_acceptor.reset();
        m_ioc.reset();
        throw;
    }
    acceptNext();
    m_acceptThread = std::thread([this] { m_ioc->run(); });
    m_running = true;
}

void HttpServer::bind()
{
    const tcp::endpoint endpoint(net::ip::make_address(m_options.address), m_options.port);
    m_acceptor.emplace(*m_ioc);
    m_acceptor->open(endpoint.protocol());
    m_acceptor->set_option(net::socket_base::reuse_address(true));
    m_acceptor->bind(endpoint);
    m_acceptor->listen(net::socket_base::max_listen_connections);
    m_port = m_acceptor->local_endpoint().port();
}

void HttpServer::stop()
{
    if (!m_ioc)
        return;
    m_running = false;
    m_stopping = true;
    m_ioc->stop();
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    m_acceptWork.reset();
    m_acceptRetryTimer.reset();
    m_acceptor.reset();
    // Each connection's destructor stops its io_context and joins its thread.
    m_connections.clear();
    m_ioc.reset();
}

// Runs on the accept thread.
void HttpServer::acceptNext()
{
    m_acceptor->async_accept([this](const error_code& ec, tcp::socket socket) { onAccepted(ec, std::move(socket)); });
}

void HttpServer::onAccepted(const error_code& ec, tcp::socket socket)
{
    if (ec == net::error::operation_aborted || !m_acceptor->is_open())
        return;
    if (ec)
        return retryAcceptLater();
    reapFinishedConnections();
    serveConnection(std::move(socket));
    // Connections beyond the limit wait in the kernel's listen queue instead of being
    // refused: a sender that opens a burst of connections is served, just later.
    if (m_activeConnections.load() >= m_options.maxConnections) {
        m_acceptPaused = true;
        return;
    }
    acceptNext();
}

void HttpServer::serveConnection(tcp::socket socket)
{
    countConnectionOpened();
    try {
        m_connections.push_back(
            std::make_unique<HttpConnectionThread>(std::move(socket), m_options, m_handler, [this] { sessionFinished(); }));
    } catch (const std::exception&) {
        // The peer left before it could be served (its socket has no address any more) or
        // no thread could be started: the connection is closed, its end already counted, and
        // the server goes on.
    }
}

void HttpServer::reapFinishedConnections()
{
    std::erase_if(m_connections, [](const auto& connection) { return connection->finished(); });
}

void HttpServer::retryAcceptLater()
{
    m_acceptRetryTimer->expires_after(kAcceptRetryDelay);
    m_acceptRetryTimer->async_wait([this](const error_code& ec) {
        if (!ec)
            acceptNext();
    });
}

void HttpServer::countConnectionOpened()
{
    ++m_acceptedConnections;
    raiseMax(m_peakConnections, ++m_activeConnections);
}

void HttpServer::sessionFinished()
{
    --m_activeConnections;
    // During stop() the accept io_context is being torn down: nothing more may be posted to it.
    if (m_stopping)
        return;
    net::post(*m_ioc, [this] {
        reapFinishedConnections();
        if (!m_acceptPaused || m_activeConnections.load() >= m_options.maxConnections)
            return;
        m_acceptPaused = false;
        acceptNext();
    });
}

} // namespace cim
