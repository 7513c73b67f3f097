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
// How often waiting connections look again for a served one that has become idle.
constexpr std::chrono::milliseconds kWaitingRecheck{20};

using Activity = HttpConnectionActivity;

// Idle connections go first, the longest idle first; then the slowest heads.
bool betterToClose(const Activity& candidate, const Activity& chosen)
{
    if (candidate.phase() != chosen.phase())
        return candidate.phase() == Activity::Phase::Idle;
    return candidate.since() < chosen.since();
}

void raiseMax(std::atomic<std::size_t>& peak, std::size_t value)
{
    std::size_t seen = peak.load();
    while (seen < value && !peak.compare_exchange_weak(seen, value)) {
    }
}

} // namespace

HttpServer::HttpServer(HttpServerOptions options, HttpRequestHandler handler, HttpHeadCheck headCheck)
    : m_options(std::move(options)), m_handler(std::move(handler)), m_headCheck(std::move(headCheck))
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
    m_ioc = std::make_unique<net::io_context>(1);
    m_acceptRetryTimer.emplace(*m_ioc);
    m_waitingTimer.emplace(*m_ioc);
    m_acceptWork.emplace(m_ioc->get_executor());
    try {
        bind();
    } catch (...) {
        m_acceptWork.reset();
        m_waitingTimer.reset();
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
    m_waitingTimer.reset();
    m_acceptRetryTimer.reset();
    m_acceptor.reset();
    m_waiting.clear();
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
    admit(std::move(socket));
    acceptNext();
}

// Accepting never stops, so that a client is always taken on: room is made by closing idle
// connections, and a sender that opens a burst of connections while all are busy is served,
// just later.
void HttpServer::admit(tcp::socket socket)
{
    error_code ec;
    const auto peer = socket.remote_endpoint(ec).address();
    if (ec)
        return;
    const auto samePeer = [&peer](const HttpConnectionThread& connection) { return connection.peer() == peer; };
    if (liveConnections(samePeer) + waitingFrom(peer) >= m_options.maxConnectionsPerPeer && !evictOne(samePeer)) {
        ++m_refusedConnections;
        return;
    }
    const auto any = [](const HttpConnectionThread&) { return true; };
    if (m_waiting.empty() && (liveConnections(any) < m_options.maxConnections || evictOne(any)))
        return serveConnection(std::move(socket));
    // The connection that has waited longest goes when too many wait: the newest is the
    // likeliest to be a client that is still there.
    if (m_waiting.size() >= m_options.maxConnections) {
        m_waiting.erase(m_waiting.begin());
        ++m_refusedConnections;
    }
    m_waiting.push_back(std::move(socket));
    serveWaiting();
}

std::size_t HttpServer::waitingFrom(const net::ip::address& peer) const
{
    return static_cast<std::size_t>(std::count_if(m_waiting.begin(), m_waiting.end(), [&](const tcp::socket& socket) {
        error_code ec;
        return socket.remote_endpoint(ec).address() == peer && !ec;
    }));
}

std::size_t HttpServer::liveConnections(const std::function<bool(const HttpConnectionThread&)>& among) const
{
    return static_cast<std::size_t>(std::count_if(m_connections.begin(), m_connections.end(), [&](const auto& connection) {
        return !connection->finished() && !connection->evicted() && among(*connection);
    }));
}

bool HttpServer::evictOne(const std::function<bool(const HttpConnectionThread&)>& among)
{
    HttpConnectionThread* chosen = nullptr;
    const auto settledBefore = Activity::Clock::now() - m_options.idleBeforeEviction;
    for (const auto& connection : m_connections) {
        const Activity& activity = connection->activity();
        if (connection->finished() || connection->evicted() || !among(*connection)
            || activity.phase() == Activity::Phase::Busy || activity.since() > settledBefore)
            continue;
        if (!chosen || betterToClose(connection->activity(), chosen->activity()))
            chosen = connection.get();
    }
    if (!chosen)
        return false;
    chosen->evict();
    ++m_evictedConnections;
    return true;
}

void HttpServer::serveWaiting()
{
    const auto any = [](const HttpConnectionThread&) { return true; };
    while (!m_waiting.empty() && (liveConnections(any) < m_options.maxConnections || evictOne(any))) {
        tcp::socket next = std::move(m_waiting.front());
        m_waiting.erase(m_waiting.begin());
        serveConnection(std::move(next));
    }
    if (m_waiting.empty())
        return;
    m_waitingTimer->expires_after(kWaitingRecheck);
    m_waitingTimer->async_wait([this](const error_code& ec) {
        if (!ec) {
            reapFinishedConnections();
            serveWaiting();
        }
    });
}

void HttpServer::serveConnection(tcp::socket socket)
{
    countConnectionOpened();
    try {
        m_connections.push_back(
            std::make_unique<HttpConnectionThread>(std::move(socket), m_options, m_handler, m_headCheck,
                                                   [this] { sessionFinished(); }));
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
        serveWaiting();
    });
}

} // namespace cim
