#include "cim/HttpServer.h"

#include "cim/HttpServerSession.h"

#include <boost/asio/post.hpp>

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
    m_ioc = std::make_unique<net::io_context>(static_cast<int>(std::max(1u, m_options.threads)));
    m_acceptStrand.emplace(net::make_strand(*m_ioc));
    m_acceptRetryTimer.emplace(*m_acceptStrand);
    try {
        bind();
    } catch (...) {
        m_acceptRetryTimer.reset();
        m_acceptor.reset();
        m_acceptStrand.reset();
        m_ioc.reset();
        throw;
    }
    net::post(*m_acceptStrand, [this] { acceptNext(); });
    for (unsigned i = 0; i < std::max(1u, m_options.threads); ++i)
        m_threads.emplace_back([this] { m_ioc->run(); });
    m_running = true;
}

void HttpServer::bind()
{
    const tcp::endpoint endpoint(net::ip::make_address(m_options.address), m_options.port);
    m_acceptor.emplace(*m_acceptStrand);
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
    for (auto& thread : m_threads)
        thread.join();
    m_threads.clear();
    m_acceptRetryTimer.reset();
    m_acceptor.reset();
    m_acceptStrand.reset();
    // Destroying the io_context destroys the pending handlers and with them the sessions,
    // which closes their sockets.
    m_ioc.reset();
}

// Runs on the accept strand. Each connection gets a strand of its own.
void HttpServer::acceptNext()
{
    m_acceptor->async_accept(net::make_strand(*m_ioc), [this](const error_code& ec, tcp::socket socket) {
        onAccepted(ec, std::move(socket));
    });
}

void HttpServer::onAccepted(const error_code& ec, tcp::socket socket)
{
    if (ec == net::error::operation_aborted || !m_acceptor->is_open())
        return;
    if (ec)
        return retryAcceptLater();
    countConnectionOpened();
    std::make_shared<HttpServerSession>(std::move(socket), m_options, m_handler, [this] { sessionFinished(); })->start();
    // Connections beyond the limit wait in the kernel's listen queue instead of being
    // refused: a sender that opens a burst of connections is served, just later.
    if (m_activeConnections.load() >= m_options.maxConnections) {
        m_acceptPaused = true;
        return;
    }
    acceptNext();
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
    // During stop() the io_context is being torn down: nothing more may be posted to it.
    if (m_stopping)
        return;
    net::post(*m_acceptStrand, [this] {
        if (!m_acceptPaused || m_activeConnections.load() >= m_options.maxConnections)
            return;
        m_acceptPaused = false;
        acceptNext();
    });
}

} // namespace cim
