#include "cim/http/HttpServerSession.h"

#include <boost/asio/write.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

#include <sstream>

namespace cim {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = boost::beast::http;
using boost::system::error_code;

namespace {

constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
// A request refused on its head with a body up to this size has the body skipped, so that the
// client can retry on the same connection (a client that sends credentials only when asked
// does); a larger one is not read at all.
constexpr std::uint64_t kSkippableBodyBytes = 64 * 1024;
using Phase = HttpConnectionActivity::Phase;
constexpr std::size_t kFirstReadBytes = 4096;

std::string hex(std::size_t value)
{
    std::ostringstream out;
    out << std::hex << std::uppercase << value;
    return out.str();
}

bool replyAsksToClose(const http::response<http::string_body>& message)
{
    const auto connection = message.find(http::field::connection);
    return connection != message.end() && beast::iequals(connection->value(), "close");
}

} // namespace

HttpServerSession::HttpServerSession(net::ip::tcp::socket socket, const HttpServerOptions& options,
                                     const HttpRequestHandler& handler, const HttpHeadCheck& headCheck,
                                     std::shared_ptr<HttpConnectionActivity> activity, std::function<void()> onFinished)
    : m_stream(std::move(socket)),
      m_options(options),
      m_handler(handler),
      m_headCheck(headCheck),
      m_activity(std::move(activity)),
      m_onFinished(std::move(onFinished))
{
}

HttpServerSession::~HttpServerSession()
{
    if (m_onFinished)
        m_onFinished();
}

void HttpServerSession::start()
{
    error_code ignored;
    auto& socket = m_stream.socket();
    socket.set_option(net::ip::tcp::no_delay(true), ignored);
    m_context.remote = socket.remote_endpoint(ignored);
    m_context.local = socket.local_endpoint(ignored);
    readHeader();
}

void HttpServerSession::expireAfter(std::chrono::milliseconds limit)
{
    if (limit.count() > 0)
        m_stream.expires_after(limit);
    else
        m_stream.expires_never();
}

void HttpServerSession::closeUnlessBusy()
{
    // A request that has just arrived is served.
    error_code ec;
    if (m_activity->phase() == Phase::Idle && m_stream.socket().available(ec) > 0)
        return;
    if (m_activity->phase() != Phase::Busy)
        closeConnection();
}

// request = request-line *( header-field CRLF ) CRLF [ message-body ]; the head first, so that
// it can be checked and "Expect: 100-continue" answered before the body is sent. A connection
// waits up to the idle time-out for a request to begin; the head must then arrive within the
// head time-out (the first one: from accept on).
void HttpServerSession::readHeader()
{
    m_parser.emplace();
    m_parser->body_limit(m_options.maxBodyBytes);
    m_parser->header_limit(m_options.maxHeaderBytes);
    m_activity->enter(Phase::Idle);
    if (m_firstRequest)
        m_headDeadline = std::chrono::steady_clock::now() + m_options.headTimeout;
    // Bytes of a pipelined request are already here.
    if (m_buffer.size() > 0)
        return readRestOfHeader();
    if (m_firstRequest)
        m_stream.expires_at(m_headDeadline);
    else
        expireAfter(m_options.idleTimeout);
    m_stream.async_read_some(m_buffer.prepare(kFirstReadBytes),
                             [self = shared_from_this()](const error_code& ec, std::size_t bytes) {
                                 self->m_buffer.commit(bytes);
                                 if (ec)
                                     return self->answerReadError(ec);
                                 self->readRestOfHeader();
                             });
}

// The parser reads a head only once it is complete, so the first bytes are waited for
// separately: from them on, the head time-out applies.
void HttpServerSession::readRestOfHeader()
{
    m_activity->enter(Phase::ReceivingHead);
    if (!m_firstRequest)
        m_headDeadline = std::chrono::steady_clock::now() + m_options.headTimeout;
    m_stream.expires_at(m_headDeadline);
    http::async_read_header(m_stream, m_buffer, *m_parser, [self = shared_from_this()](const error_code& ec, std::size_t) {
        if (ec)
            return self->answerReadError(ec);
        self->onHeader();
    });
}

void HttpServerSession::onHeader()
{
    m_activity->enter(Phase::Busy);
    if (m_headCheck) {
        std::optional<HttpServerReply> refusal;
        try {
            refusal = m_headCheck(m_parser->get(), m_context);
        } catch (...) {
            refusal.emplace();
            refusal->message.result(http::status::internal_server_error);
        }
        if (refusal)
            return refuseOnHead(std::move(*refusal));
    }
    const auto& request = m_parser->get();
    const auto expect = request.find(http::field::expect);
    if (expect != request.end() && beast::iequals(expect->value(), "100-continue") && !m_parser->is_done())
        return sendContinue();
    readBody();
}

void HttpServerSession::refuseOnHead(HttpServerReply refusal)
{
    if (refusal.dropConnection)
        return closeConnection();
    const auto& request = m_parser->get();
    const auto length = m_parser->content_length();
    const bool expectsContinue = request.find(http::field::expect) != request.end();
    const bool skippable = m_parser->is_done() || (length && *length <= kSkippableBodyBytes && !expectsContinue);
    if (!skippable) {
        m_reply = std::move(refusal);
        m_reply.message.version(request.version());
        return writeReply(false);
    }
    m_refusal = std::move(refusal);
    if (m_parser->is_done())
        return respond();
    expireAfter(m_options.readTimeout);
    http::async_read(m_stream, m_buffer, *m_parser,
                     [self = shared_from_this()](const error_code& ec, std::size_t) { self->onSkippedBody(ec); });
}

void HttpServerSession::onSkippedBody(const error_code& ec)
{
    if (ec) {
        m_refusal.reset();
        return answerReadError(ec);
    }
    respond();
}

void HttpServerSession::sendContinue()
{
    expireAfter(m_options.writeTimeout);
    net::async_write(m_stream, net::buffer(kContinue.data(), kContinue.size()),
                     [self = shared_from_this()](const error_code& ec, std::size_t) {
                         if (ec)
                             return self->closeConnection();
                         self->readBody();
                     });
}

void HttpServerSession::readBody()
{
    expireAfter(m_options.readTimeout);
    http::async_read(m_stream, m_buffer, *m_parser,
                     [self = shared_from_this()](const error_code& ec, std::size_t) { self->onBody(ec); });
}

void HttpServerSession::onBody(const error_code& ec)
{
    if (ec)
        return answerReadError(ec);
    respond();
}

// A peer that goes away or stays silent is simply dropped; one that breaks the protocol or a
// limit is told why before the connection closes.
void HttpServerSession::answerReadError(const error_code& ec)
{
    if (ec == http::error::body_limit)
        return replyErrorAndClose(413);
    if (ec == http::error::header_limit)
        return replyErrorAndClose(431);
    const bool bytesArrived = m_parser && m_parser->got_some();
    if (bytesArrived && ec.category() == http::make_error_code(http::error::bad_version).category()
        && ec != http::error::partial_message && ec != http::error::end_of_stream)
        return replyErrorAndClose(400);
    closeConnection();
}

HttpServerReply HttpServerSession::callHandler(const HttpRequest& request)
{
    try {
        return m_handler(request, m_context);
    } catch (...) {
        HttpServerReply reply;
        reply.message.result(http::status::internal_server_error);
        return reply;
    }
}

void HttpServerSession::respond()
{
    const HttpRequest request = m_parser->release();
    m_firstRequest = false;
    if (m_refusal) {
        m_reply = std::move(*m_refusal);
        m_refusal.reset();
    } else {
        m_reply = callHandler(request);
    }
    if (m_reply.dropConnection)
        return closeConnection();
    m_reply.message.version(request.version());
    const bool keepAlive = request.keep_alive() && !replyAsksToClose(m_reply.message);
    if (m_reply.chunked && request.version() >= 11)
        return writeChunked(keepAlive);
    writeReply(keepAlive);
}

void HttpServerSession::writeReply(bool keepAlive)
{
    m_reply.message.keep_alive(keepAlive);
    m_reply.message.prepare_payload();
    expireAfter(m_options.writeTimeout);
    http::async_write(m_stream, m_reply.message, [self = shared_from_this(), keepAlive](const error_code& ec, std::size_t) {
        self->onWritten(ec, keepAlive);
    });
}

// chunked-body = *chunk last-chunk trailer-part CRLF. Written as one gather list: the framing
// lives in m_framing, the chunk data is read from the body where it is (Beast's serializer
// cannot emit trailer fields from a string body).
void HttpServerSession::writeChunked(bool keepAlive)
{
    auto& message = m_reply.message;
    message.keep_alive(keepAlive);
    message.erase(http::field::content_length);
    message.set(http::field::transfer_encoding, "chunked");
    std::string trailerNames;
    for (const auto& [name, value] : m_reply.trailers)
        trailerNames += (trailerNames.empty() ? "" : ", ") + name;
    if (!trailerNames.empty())
        message.set(http::field::trailer, trailerNames);

    const std::string& body = message.body();
    const std::size_t chunkBytes = std::max<std::size_t>(1, m_reply.chunkBytes);
    const std::size_t chunks = (body.size() + chunkBytes - 1) / chunkBytes;
    // Reserved up front: the buffers below point into these strings.
    m_framing.clear();
    m_framing.reserve(chunks + 2);
    std::ostringstream header;
    header << message.base();
    m_framing.push_back(std::move(header).str());
    m_wire.clear();
    m_wire.push_back(net::buffer(m_framing.back()));
    for (std::size_t offset = 0; offset < body.size(); offset += chunkBytes) {
        const std::size_t length = std::min(chunkBytes, body.size() - offset);
        m_framing.push_back((offset == 0 ? "" : "\r\n") + hex(length) + "\r\n");
        m_wire.push_back(net::buffer(m_framing.back()));
        m_wire.push_back(net::buffer(body.data() + offset, length));
    }
    std::string last = body.empty() ? "0\r\n" : "\r\n0\r\n";
    for (const auto& [name, value] : m_reply.trailers)
        last += name + ": " + value + "\r\n";
    m_framing.push_back(last + "\r\n");
    m_wire.push_back(net::buffer(m_framing.back()));

    expireAfter(m_options.writeTimeout);
    net::async_write(m_stream, m_wire, [self = shared_from_this(), keepAlive](const error_code& ec, std::size_t) {
        self->onWritten(ec, keepAlive);
    });
}

void HttpServerSession::onWritten(const error_code& ec, bool keepAlive)
{
    m_wire.clear();
    m_framing.clear();
    m_reply = {};
    if (ec || !keepAlive)
        return closeConnection();
    readHeader();
}

void HttpServerSession::replyErrorAndClose(unsigned status)
{
    m_reply = {};
    m_reply.message.result(status);
    m_reply.message.version(11);
    writeReply(false);
}

void HttpServerSession::closeConnection()
{
    error_code ignored;
    m_stream.socket().shutdown(net::ip::tcp::socket::shutdown_send, ignored);
    m_stream.close();
}

} // namespace cim
