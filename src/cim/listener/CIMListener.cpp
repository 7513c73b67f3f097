#include "cim/listener/CIMListener.h"

#include "cim/value/CIMException.h"
#include "cim/xml/CIMExportRequest.h"
#include "cim/xml/CIMExportResponse.h"
#include "cim/http/CIMHttpHeaders.h"
#include "cim/listener/CIMIndicationConsumer.h"
#include "cim/value/CIMValueError.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"

#include <pugixml.hpp>

#include <algorithm>
#include <exception>
#include <mutex>

namespace cim {

namespace http = boost::beast::http;

namespace {

constexpr std::string_view kListenerPath = "/CIMListener";

std::string_view fieldValue(const HttpRequest& request, std::string_view name)
{
    return CIMHttpHeaders::fieldValue(request, name);
}

// The path of an origin-form target ("/CIMListener/a?x") or of an absolute-form one
// ("http://host:5990/CIMListener/a").
std::string_view targetPath(std::string_view target)
{
    const std::size_t scheme = target.find("://");
    if (scheme != std::string_view::npos) {
        const std::size_t slash = target.find('/', scheme + 3);
        target = slash == std::string_view::npos ? std::string_view("/") : target.substr(slash);
    }
    return target.substr(0, target.find_first_of("?#"));
}

// "/CIMListener" itself or a path below "/CIMListener/"; gives the rest of the path.
std::optional<std::string> listenerUrl(std::string_view path)
{
    if (!path.starts_with(kListenerPath))
        return std::nullopt;
    const std::string_view rest = path.substr(kListenerPath.size());
    if (!rest.empty() && !rest.starts_with('/'))
        return std::nullopt;
    return std::string(rest);
}

// CIMProtocolVersion = 1*DIGIT "." 1*DIGIT; every 1.x is served, a missing header means 1.0.
bool protocolVersionSupported(std::string_view version)
{
    while (!version.empty() && version.front() == ' ')
        version.remove_prefix(1);
    while (!version.empty() && version.back() == ' ')
        version.remove_suffix(1);
    if (version.empty())
        return true;
    if (!version.starts_with("1.") || version.size() == 2)
        return false;
    return std::all_of(version.begin() + 2, version.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool wellFormedXml(const std::string& body)
{
    pugi::xml_document document;
    return static_cast<bool>(document.load_buffer(body.data(), body.size(), pugi::parse_minimal));
}

HttpServerReply exportReply(const CIMExportResponse& response)
{
    HttpServerReply reply;
    reply.message.result(http::status::ok);
    reply.message.set(http::field::content_type, CIMHttpHeaders::view(CIMHttpHeaders::kContentType));
    reply.message.set(CIMHttpHeaders::view(CIMHttpHeaders::kCIMExport), CIMHttpHeaders::view(CIMHttpHeaders::kMethodResponse));
    reply.message.body() = encodeExportResponse(response);
    return reply;
}

// The form addresses are kept in: an IPv4-mapped IPv6 address is its IPv4 address.
boost::asio::ip::address plain(const boost::asio::ip::address& address)
{
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return boost::asio::ip::make_address_v4(boost::asio::ip::v4_mapped, address.to_v6());
    return address;
}

CIMExportResponse errorResponse(const CIMExportRequest& request, CIMStatusCode code, std::string description)
{
    CIMExportResponse response;
    response.messageId = request.messageId;
    response.methodName = request.methodName;
    response.error = CIMError{code, std::move(description), {}};
    return response;
}

} // namespace

CIMListener::CIMListener(CIMListenerOptions options)
{
    HttpServerOptions server;
    server.address = options.address;
    server.port = options.port;
    server.maxConnections = options.maxConnections;
    server.maxConnectionsPerPeer = options.maxConnectionsPerPeer;
    server.maxBodyBytes = options.maxBodyBytes;
    server.headTimeout = options.headTimeout;
    server.readTimeout = options.readTimeout;
    server.idleTimeout = options.idleTimeout;
    m_server = std::make_unique<HttpServer>(
        server,
        [this](const HttpRequest& request, const HttpRequestContext& context) { return handle(request, context); },
        [this](const HttpRequest&, const HttpRequestContext& context) { return checkSender(context); });
}

CIMListener::CIMListener(std::uint16_t port)
    : CIMListener(CIMListenerOptions{.port = port})
{
}

CIMListener::~CIMListener()
{
    stop();
}

void CIMListener::start()
{
    m_server->start();
}

void CIMListener::stop()
{
    m_server->stop();
}

bool CIMListener::isActive() const
{
    return m_server->isRunning();
}

std::uint16_t CIMListener::getPortNumber() const
{
    return m_server->port();
}

void CIMListener::addConsumer(CIMIndicationConsumer* consumer)
{
    std::unique_lock lock(m_consumersMutex);
    if (consumer && std::find(m_consumers.begin(), m_consumers.end(), consumer) == m_consumers.end())
        m_consumers.push_back(consumer);
}

void CIMListener::removeConsumer(CIMIndicationConsumer* consumer)
{
    std::unique_lock lock(m_consumersMutex);
    m_consumers.erase(std::remove(m_consumers.begin(), m_consumers.end(), consumer), m_consumers.end());
}

void CIMListener::allowSender(const boost::asio::ip::address& address)
{
    std::lock_guard lock(m_sendersMutex);
    ++m_senders[plain(address)];
}

void CIMListener::forbidSender(const boost::asio::ip::address& address)
{
    std::lock_guard lock(m_sendersMutex);
    const auto found = m_senders.find(plain(address));
    if (found != m_senders.end() && --found->second == 0)
        m_senders.erase(found);
}

bool CIMListener::senderAllowed(const boost::asio::ip::address& address) const
{
    std::lock_guard lock(m_sendersMutex);
    return m_senders.contains(plain(address));
}

std::optional<HttpServerReply> CIMListener::checkSender(const HttpRequestContext& context)
{
    if (senderAllowed(context.remote.address()))
        return std::nullopt;
    ++m_sendersRefused;
    return refuse(403, {});
}

HttpServerReply CIMListener::refuse(unsigned status, std::string_view cimError)
{
    ++m_refused;
    HttpServerReply reply;
    reply.message.result(status);
    if (!cimError.empty())
        reply.message.set(CIMHttpHeaders::view(CIMHttpHeaders::kCIMError), CIMHttpHeaders::view(cimError));
    if (status == 405)
        reply.message.set(http::field::allow, "POST");
    return reply;
}

// The checks run in the order a sender can act on: method, path, export header, version,
// then the body.
HttpServerReply CIMListener::handle(const HttpRequest& request, const HttpRequestContext& context)
{
    // M-POST is optional in DSP0200; 501 tells the sender to fall back to POST.
    if (request.method_string() == "M-POST")
        return refuse(501, {});
    if (request.method() != http::verb::post)
        return refuse(405, {});
    const auto target = request.target();
    const auto url = listenerUrl(targetPath({target.data(), target.size()}));
    if (!url)
        return refuse(404, {});
    if (!CIMHttpHeaders::tokenEquals(fieldValue(request, CIMHttpHeaders::kCIMExport), CIMHttpHeaders::kMethodRequest))
        return refuse(400, CIMHttpHeaders::kErrUnsupportedOperation);
    if (!protocolVersionSupported(fieldValue(request, CIMHttpHeaders::kCIMProtocolVersion)))
        return refuse(501, CIMHttpHeaders::kErrUnsupportedProtocolVersion);
    return handleExport(request, context, *url);
}

HttpServerReply CIMListener::handleExport(const HttpRequest& request, const HttpRequestContext& context,
                                          const std::string& url)
{
    CIMExportRequest exportRequest;
    try {
        exportRequest = decodeExportRequest(request.body());
    } catch (const CIMXmlError&) {
        return refuse(400, wellFormedXml(request.body()) ? CIMHttpHeaders::kErrRequestNotValid
                                                         : CIMHttpHeaders::kErrRequestNotWellFormed);
    } catch (const CIMValueError&) {
        return refuse(400, CIMHttpHeaders::kErrRequestNotValid);
    }
    const auto headerMethod = CIMHttpHeaders::decodeValue(fieldValue(request, CIMHttpHeaders::kCIMExportMethod));
    if (!headerMethod || !CIMName::legal(*headerMethod) || !(CIMName(*headerMethod) == exportRequest.methodName))
        return refuse(400, CIMHttpHeaders::kErrHeaderMismatch);

    if (!(exportRequest.methodName == CIMName("ExportIndication")))
        return exportReply(errorResponse(exportRequest, CIMStatusCode::NotSupported,
                                         "Export method " + exportRequest.methodName.getString() + " is not supported"));
    const CIMInstance* indication = exportRequest.findIndication();
    if (!indication)
        return exportReply(errorResponse(exportRequest, CIMStatusCode::InvalidParameter,
                                         "ExportIndication without a NewIndication instance"));
    try {
        deliver(CIMIndicationContext{context.remote, exportRequest.messageId}, url, *indication);
    } catch (const CIMException& e) {
        return exportReply(errorResponse(exportRequest, e.getCode(), e.getDescription()));
    } catch (const std::exception& e) {
        return exportReply(errorResponse(exportRequest, CIMStatusCode::Failed, e.what()));
    }
    CIMExportResponse response;
    response.messageId = exportRequest.messageId;
    response.methodName = exportRequest.methodName;
    return exportReply(response);
}

// Every consumer gets the indication even when an earlier one fails; the first failure is
// what the sender is told.
void CIMListener::deliver(const CIMIndicationContext& context, const std::string& url, const CIMInstance& indication)
{
    std::exception_ptr firstFailure;
    {
        std::shared_lock lock(m_consumersMutex);
        for (CIMIndicationConsumer* consumer : m_consumers) {
            try {
                consumer->consumeIndication(context, url, indication);
            } catch (...) {
                if (!firstFailure)
                    firstFailure = std::current_exception();
            }
        }
    }
    ++m_delivered;
    if (firstFailure)
        std::rethrow_exception(firstFailure);
}

} // namespace cim
