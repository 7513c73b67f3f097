#include "cim/http/HttpOperationChannel.h"

#include "cim/value/CIMException.h"
#include "cim/http/CIMHttpHeaders.h"
#include "cim/http/CIMTransportExceptions.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace cim {

namespace http = boost::beast::http;

namespace {

// The request target is free for CIM-XML; this is the one servers commonly expect.
constexpr std::string_view kTarget = "/cimom";

std::string base64(std::string_view bytes)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned n = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8)
                           | static_cast<unsigned char>(bytes[i + 2]);
        out += {kAlphabet[n >> 18], kAlphabet[(n >> 12) & 63], kAlphabet[(n >> 6) & 63], kAlphabet[n & 63]};
    }
    if (i + 1 == bytes.size()) {
        const unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        out += {kAlphabet[n >> 18], kAlphabet[(n >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const unsigned n = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        out += {kAlphabet[n >> 18], kAlphabet[(n >> 12) & 63], kAlphabet[(n >> 6) & 63], '='};
    }
    return out;
}

using Header = HttpClientConnection::ResponseHeader;

// The body of a reply that is not a CIM response is shown this far in the error.
constexpr std::size_t kErrorBodyShown = 512;

std::string_view fieldValue(const Header& reply, std::string_view name)
{
    return CIMHttpHeaders::fieldValue(reply, name);
}

// CIMStatusCode = 1*DIGIT, as a header or a trailer; anything else is treated as unreadable.
std::optional<int> statusCodeOf(const Header& reply)
{
    std::string_view text = fieldValue(reply, CIMHttpHeaders::kCIMStatusCode);
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    int code = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
    if (error != std::errc() || end != text.data() + text.size())
        return -1;
    return code;
}

// Whether checkReply will find nothing wrong in the header: the body is a CIM response to
// read (a failing CIMStatusCode may still come in a trailer).
bool announcesResponse(const Header& reply)
{
    if (reply.result_int() != 200
        || !CIMHttpHeaders::tokenEquals(fieldValue(reply, CIMHttpHeaders::kCIMOperation), CIMHttpHeaders::kMethodResponse))
        return false;
    const auto status = statusCodeOf(reply);
    return !status || *status == 0;
}

// Callers compare messages such as "HTTP Error (401 Unauthorized).", so the standard phrase is
// used whatever wording the server chose.
std::string standardReason(const Header& reply)
{
    const auto known = http::obsolete_reason(http::int_to_status(reply.result_int()));
    if (known != "<unknown-status>")
        return std::string(known);
    return std::string(reply.reason());
}

} // namespace

void HttpOperationChannel::connect(const std::string& host, std::uint16_t port, const std::string& userName,
                                   const std::string& password)
{
    if (m_http.isConnected())
        throw CIMAlreadyConnectedException();
    m_authorization = userName.empty() ? std::string() : "Basic " + base64(userName + ":" + password);
    m_http.connect(host, port);
}

void HttpOperationChannel::disconnect() noexcept
{
    m_http.close();
    m_authorization.clear();
}

HttpClientConnection::Request HttpOperationChannel::buildRequest(std::string_view cimMethod, std::string_view cimObject,
                                                                 std::string body) const
{
    HttpClientConnection::Request request{http::verb::post, CIMHttpHeaders::view(kTarget), 11};
    using H = CIMHttpHeaders;
    request.set(http::field::content_type, H::view(H::kContentType));
    request.set(http::field::te, "trailers");
    request.set(H::view(H::kCIMOperation), H::view(H::kMethodCall));
    request.set(H::view(H::kCIMMethod), H::encodeValue(cimMethod));
    request.set(H::view(H::kCIMObject), H::encodeValue(cimObject));
    request.set(H::view(H::kCIMProtocolVersion), H::view(H::kProtocolVersion));
    if (!m_authorization.empty())
        request.set(http::field::authorization, m_authorization);
    request.body() = std::move(body);
    return request;
}

std::string HttpOperationChannel::post(std::string_view cimMethod, std::string_view cimObject, std::string body,
                                       Resend resend)
{
    auto request = buildRequest(cimMethod, cimObject, std::move(body));
    auto reply = exchange(resend, [&] { return m_http.exchange(request); });
    checkReply(reply);
    return std::move(reply.body());
}

void HttpOperationChannel::post(std::string_view cimMethod, std::string_view cimObject, std::string body,
                                Resend resend, const std::function<void(std::string_view piece)>& consumer)
{
    auto request = buildRequest(cimMethod, cimObject, std::move(body));
    std::string shownBody;
    const auto keepShown = [&](std::string_view piece) {
        shownBody.append(piece.substr(0, kErrorBodyShown - std::min(kErrorBodyShown, shownBody.size())));
    };
    const auto route = [&](const Header& header) -> HttpClientConnection::BodyConsumer {
        if (announcesResponse(header))
            return consumer;
        return keepShown;
    };
    auto reply = exchange(resend, [&] { return m_http.exchange(request, route); });
    reply.body() = std::move(shownBody);
    checkReply(reply);
}

// A server may close a keep-alive connection just as our request reaches it, without
// answering. Sending again is safe only when the request changes nothing.
template <class Exchange>
HttpClientConnection::Response HttpOperationChannel::exchange(Resend resend, const Exchange& exchange)
{
    try {
        return exchange();
    } catch (const CIMNotConnectedException& e) {
        if (resend != Resend::OnceIfUnanswered || !e.noReplyReceived() || !m_http.isConnected())
            throw;
    }
    return exchange();
}

void HttpOperationChannel::checkReply(const HttpClientConnection::Response& reply)
{
    if (reply.result_int() != 200) {
        const auto cimError = fieldValue(reply, CIMHttpHeaders::kCIMError);
        throw CIMHttpErrorException(reply.result_int(), standardReason(reply), std::string(cimError),
                                    reply.body().substr(0, kErrorBodyShown));
    }
    if (!CIMHttpHeaders::tokenEquals(fieldValue(reply, CIMHttpHeaders::kCIMOperation), CIMHttpHeaders::kMethodResponse))
        throw CIMMalformedHttpException("The reply is not a CIM operation response (no \"CIMOperation: MethodResponse\")");
    const auto status = statusCodeOf(reply);
    if (!status || *status == 0)
        return;
    if (*status < 0)
        throw CIMMalformedHttpException("Unreadable CIMStatusCode \"" + std::string(fieldValue(reply, CIMHttpHeaders::kCIMStatusCode))
                                        + "\"");
    const auto description = CIMHttpHeaders::decodeValue(fieldValue(reply, CIMHttpHeaders::kCIMStatusCodeDescription));
    throw CIMException(*status, description.value_or(std::string()));
}

} // namespace cim
