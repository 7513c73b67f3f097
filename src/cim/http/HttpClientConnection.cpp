#include "cim/http/HttpClientConnection.h"

#include "cim/http/CIMTransportExceptions.h"
#include "cim/http/HugePageAdvice.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

#include <algorithm>

namespace cim {

namespace net = boost::asio;
namespace http = boost::beast::http;
using tcp = net::ip::tcp;
using boost::system::error_code;

namespace {

// Large enough for any header block a CIM server sends, small enough to stop a runaway peer.
constexpr std::uint32_t kMaxReplyHeaderBytes = 1024 * 1024;

// The reads take as much as the buffer has room for (at least 512 bytes). The parser moves
// each read's body bytes out, so the buffer keeps its first size: sized here, a 20 MB reply
// takes a few hundred reads instead of forty thousand.
constexpr std::size_t kReadBufferBytes = 64 * 1024;

// Errors by which the peer tells us the link is gone rather than that it spoke badly.
bool isLinkLoss(const error_code& ec)
{
    return ec == net::error::eof || ec == http::error::end_of_stream || ec == http::error::partial_message
           || ec == net::error::connection_reset || ec == net::error::connection_aborted
           || ec == net::error::broken_pipe || ec == net::error::not_connected
           || ec == net::error::shut_down;
}

} // namespace

HttpClientConnection::HttpClientConnection()
    : m_socket(m_ioc)
{
    m_buffer.reserve(kReadBufferBytes);
}

HttpClientConnection::~HttpClientConnection()
{
    close();
}

void HttpClientConnection::setTimeout(std::chrono::milliseconds timeout)
{
    m_timeout = timeout.count() > 0 ? timeout : std::chrono::milliseconds{0};
}

void HttpClientConnection::connect(const std::string& host, std::uint16_t port)
{
    close();
    m_host = host;
    m_port = port;
    open();
    m_connected = true;
}

void HttpClientConnection::close() noexcept
{
    m_connected = false;
    m_localAddress.clear();
    m_peerAddress.clear();
    dropLink();
}

void HttpClientConnection::dropLink() noexcept
{
    error_code ignored;
    if (m_socket.is_open()) {
        m_socket.shutdown(tcp::socket::shutdown_both, ignored);
        m_socket.close(ignored);
    }
    m_buffer.consume(m_buffer.size());
}

namespace {

std::string addressText(const tcp::endpoint& endpoint)
{
    const auto address = endpoint.address();
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return net::ip::make_address_v4(net::ip::v4_mapped, address.to_v6()).to_string();
    return address.to_string();
}

} // namespace

std::string HttpClientConnection::socketLocalAddress() const
{
    error_code ec;
    const auto endpoint = m_socket.local_endpoint(ec);
    return ec ? std::string() : addressText(endpoint);
}

std::string HttpClientConnection::socketPeerAddress() const
{
    error_code ec;
    const auto endpoint = m_socket.remote_endpoint(ec);
    return ec ? std::string() : addressText(endpoint);
}

std::string HttpClientConnection::peerName() const
{
    return m_host + ":" + std::to_string(m_port);
}

HttpClientConnection::Deadline HttpClientConnection::deadlineFromNow() const
{
    if (m_timeout.count() == 0)
        return std::nullopt;
    return std::chrono::steady_clock::now() + m_timeout;
}

// Runs the operations started on m_ioc until they complete or the deadline passes. On
// time-out the operations are cancelled and their handlers still run (with
// operation_aborted) before we return, so no handler outlives the call's locals.
bool HttpClientConnection::runUntil(const Deadline& deadline, const std::function<void()>& cancel)
{
    m_ioc.restart();
    if (!deadline) {
        m_ioc.run();
        return true;
    }
    m_ioc.run_until(*deadline);
    if (m_ioc.stopped())
        return true;
    cancel();
    m_ioc.restart();
    m_ioc.run();
    return false;
}

void HttpClientConnection::open()
{
    dropLink();
    const Deadline deadline = deadlineFromNow();

    tcp::resolver resolver(m_ioc);
    error_code resolveError = net::error::would_block;
    tcp::resolver::results_type endpoints;
    resolver.async_resolve(m_host, std::to_string(m_port),
                           [&](const error_code& ec, tcp::resolver::results_type results) {
                               resolveError = ec;
                               endpoints = std::move(results);
                           });
    const bool resolvedInTime = runUntil(deadline, [&] { resolver.cancel(); });
    if (resolveError)
        throw CIMCannotConnectException(resolvedInTime ? "Cannot resolve " + m_host + ": " + resolveError.message()
                                                       : "Timed out resolving " + m_host);

    error_code connectError = net::error::would_block;
    startConnect(endpoints, connectError);
    const bool connectedInTime = runUntil(deadline, [&] {
        error_code ignored;
        m_socket.close(ignored);
    });
    if (connectError) {
        dropLink();
        throw CIMCannotConnectException(connectedInTime
                                            ? "Cannot connect to " + peerName() + ": " + connectError.message()
                                            : "Timed out connecting to " + peerName());
    }
    error_code ignored;
    m_socket.set_option(tcp::no_delay(true), ignored);
    m_localAddress = socketLocalAddress();
    m_peerAddress = socketPeerAddress();
    ++m_connectionsOpened;
}

void HttpClientConnection::startConnect(const tcp::resolver::results_type& endpoints, error_code& result)
{
    if (m_sourceAddress.empty()) {
        net::async_connect(m_socket, endpoints, [&result](const error_code& ec, const tcp::endpoint&) { result = ec; });
        return;
    }
    // A bound socket can try only endpoints of its own family.
    error_code ec;
    const tcp::endpoint source(net::ip::make_address(m_sourceAddress, ec), 0);
    const auto target = std::find_if(endpoints.begin(), endpoints.end(), [&](const auto& entry) {
        return entry.endpoint().protocol() == source.protocol();
    });
    if (!ec && target == endpoints.end())
        ec = net::error::address_family_not_supported;
    if (!ec)
        m_socket.open(source.protocol(), ec);
    if (!ec)
        m_socket.bind(source, ec);
    if (ec) {
        net::post(m_ioc, [&result, ec] { result = ec; });
        return;
    }
    m_socket.async_connect(target->endpoint(), [&result](const error_code& connected) { result = connected; });
}

// A server may close a keep-alive connection while it sits idle. Peeking without blocking
// shows that (end of stream or an error); bytes nobody asked for mean the stream is out of
// step, so that link is not reused either.
bool HttpClientConnection::linkUsable()
{
    if (!m_socket.is_open() || m_buffer.size() != 0)
        return false;
    error_code ec;
    m_socket.non_blocking(true, ec);
    if (ec)
        return false;
    char byte = 0;
    m_socket.receive(net::buffer(&byte, 1), tcp::socket::message_peek, ec);
    error_code ignored;
    m_socket.non_blocking(false, ignored);
    return ec == net::error::would_block;
}

// Opens the link again when needed and completes the request's headers; the deadline of the
// exchange starts here.
HttpClientConnection::Deadline HttpClientConnection::start(Request& request)
{
    if (!m_connected)
        throw CIMNotConnectedException("Not connected");
    if (!linkUsable())
        open();

    request.version(11);
    if (request.find(http::field::host) == request.end())
        request.set(http::field::host, peerName());
    request.erase(http::field::expect);
    request.prepare_payload();
    return deadlineFromNow();
}

HttpClientConnection::Response HttpClientConnection::exchange(Request& request)
{
    const Deadline deadline = start(request);
    send(request, deadline);
    Response response = receive(deadline);
    if (!response.keep_alive())
        dropLink();
    return response;
}

HttpClientConnection::Response HttpClientConnection::exchange(Request& request, const BodyRouter& route)
{
    const Deadline deadline = start(request);
    send(request, deadline);
    Response response = receive(deadline, route);
    if (!response.keep_alive())
        dropLink();
    return response;
}

void HttpClientConnection::send(Request& request, const Deadline& deadline)
{
    error_code writeError = net::error::would_block;
    http::async_write(m_socket, request, [&](const error_code& ec, std::size_t) { writeError = ec; });
    const bool inTime = runUntil(deadline, [&] { m_socket.cancel(); });
    if (!writeError)
        return;
    dropLink();
    if (!inTime)
        throw CIMTimeoutException("Timed out sending a request to " + peerName());
    throw CIMNotConnectedException("Connection to " + peerName() + " lost while sending: " + writeError.message(),
                                   true);
}

// Runs the read started on `parser` until it ends or the deadline passes; a failure drops
// the link and throws.
template <class Parser>
void HttpClientConnection::awaitRead(Parser& parser, error_code& readError, const Deadline& deadline)
{
    const bool inTime = runUntil(deadline, [&] { m_socket.cancel(); });
    if (readError == http::error::need_buffer)
        readError = {};
    if (!readError)
        return;
    if (!inTime) {
        dropLink();
        throw CIMTimeoutException("Timed out waiting for the reply from " + peerName());
    }
    failReceive(readError, parser.got_some() || m_buffer.size() != 0);
}

template <class Parser>
void HttpClientConnection::readHeader(Parser& parser, const Deadline& deadline)
{
    parser.body_limit(m_maxReplyBodyBytes);
    parser.header_limit(kMaxReplyHeaderBytes);
    error_code readError = net::error::would_block;
    http::async_read_header(m_socket, m_buffer, parser, [&](const error_code& ec, std::size_t) { readError = ec; });
    awaitRead(parser, readError, deadline);
}

HttpClientConnection::Response HttpClientConnection::receive(const Deadline& deadline)
{
    for (;;) {
        http::response_parser<http::string_body> parser;
        // The header first, so that the body's memory is prepared before it is written.
        readHeader(parser, deadline);
        if (!parser.is_done()) {
            prepareBody(parser);
            error_code readError = net::error::would_block;
            http::async_read(m_socket, m_buffer, parser, [&](const error_code& ec, std::size_t) { readError = ec; });
            awaitRead(parser, readError, deadline);
        }
        if (parser.get().result_int() / 100 != 1)
            return parser.release();
    }
}

HttpClientConnection::Response HttpClientConnection::receive(const Deadline& deadline, const BodyRouter& route)
{
    for (;;) {
        http::response_parser<http::buffer_body> parser;
        readHeader(parser, deadline);
        if (parser.get().result_int() / 100 == 1)
            continue;
        // Chosen before the body is read: the trailer fields join the header as they come.
        readBodyPieces(parser, deadline, route(parser.get().base()));
        return Response(std::move(parser.get().base()));
    }
}

// Each read fills the piece as far as the reply goes; the consumer has it before the next.
void HttpClientConnection::readBodyPieces(http::response_parser<http::buffer_body>& parser, const Deadline& deadline,
                                          const BodyConsumer& consumer)
{
    std::string piece(kReadBufferBytes, '\0');
    while (!parser.is_done()) {
        http::buffer_body::value_type& body = parser.get().body();
        body.data = piece.data();
        body.size = piece.size();
        error_code readError = net::error::would_block;
        http::async_read(m_socket, m_buffer, parser, [&](const error_code& ec, std::size_t) { readError = ec; });
        awaitRead(parser, readError, deadline);
        const std::size_t filled = piece.size() - body.size;
        if (filled == 0)
            continue;
        try {
            consumer(std::string_view(piece.data(), filled));
        } catch (...) {
            dropLink();
            throw;
        }
    }
}

// A body of announced length gets its memory at once (the parser would reserve the same),
// with huge pages for a large one.
void HttpClientConnection::prepareBody(http::response_parser<http::string_body>& parser) const
{
    const auto length = parser.content_length();
    if (!length || *length > m_maxReplyBodyBytes)
        return;
    std::string& body = parser.get().body();
    body.reserve(static_cast<std::size_t>(*length));
    adviseHugePages(body.data(), body.capacity());
}

void HttpClientConnection::failReceive(const error_code& ec, bool replyStarted)
{
    dropLink();
    if (isLinkLoss(ec))
        throw CIMNotConnectedException("Connection to " + peerName() + " lost while reading the reply: " + ec.message(),
                                       !replyStarted);
    if (ec == http::error::body_limit)
        throw CIMMalformedHttpException("The reply from " + peerName() + " is larger than "
                                        + std::to_string(m_maxReplyBodyBytes) + " bytes");
    if (ec.category() == http::make_error_code(http::error::bad_version).category() || ec == http::error::header_limit)
        throw CIMMalformedHttpException("Malformed HTTP reply from " + peerName() + ": " + ec.message());
    throw CIMNotConnectedException("Connection to " + peerName() + " failed while reading the reply: " + ec.message(),
                                   !replyStarted);
}

} // namespace cim
