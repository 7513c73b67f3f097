#include "TestCIMServer.h"

#include "cim/http/CIMHttpHeaders.h"
#include "cim/xml/CIMXmlCodec.h"

namespace cim::test {

namespace http = boost::beast::http;

namespace {

std::string headerOf(const HttpRequest& request, std::string_view name)
{
    return std::string(CIMHttpHeaders::fieldValue(request, name));
}

std::string base64(const std::string& text)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (unsigned char c : text) {
        bits = (bits << 8) | c;
        count += 8;
        while (count >= 6) {
            count -= 6;
            out.push_back(kAlphabet[(bits >> count) & 63]);
        }
    }
    if (count > 0)
        out.push_back(kAlphabet[(bits << (6 - count)) & 63]);
    while (out.size() % 4 != 0)
        out.push_back('=');
    return out;
}

} // namespace

TestCIMServer::TestCIMServer(Responder responder, HttpServerOptions options)
    : m_responder(std::move(responder)),
      m_server(std::move(options), [this](const HttpRequest& request, const HttpRequestContext&) { return handle(request); })
{
    m_server.start();
}

TestCIMServer::~TestCIMServer()
{
    m_server.stop();
}

HttpServerOptions TestCIMServer::defaultOptions()
{
    HttpServerOptions options;
    options.address = "127.0.0.1";
    options.maxBodyBytes = 256 * 1024 * 1024;
    return options;
}

void TestCIMServer::requireCredentials(const std::string& user, const std::string& password)
{
    std::lock_guard lock(m_mutex);
    m_expectedAuthorization = "Basic " + base64(user + ":" + password);
}

void TestCIMServer::dropNextRequests(int count)
{
    std::lock_guard lock(m_mutex);
    m_dropsLeft = count;
}

void TestCIMServer::setChunkedReplies(bool chunked)
{
    std::lock_guard lock(m_mutex);
    m_chunked = chunked;
}

void TestCIMServer::setRawReply(HttpServerReply reply)
{
    std::lock_guard lock(m_mutex);
    m_rawReply = std::move(reply);
}

std::vector<ReceivedRequest> TestCIMServer::received() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

int TestCIMServer::unauthorizedAnswers() const
{
    std::lock_guard lock(m_mutex);
    return m_unauthorized;
}

HttpServerReply TestCIMServer::handle(const HttpRequest& request)
{
    ReceivedRequest seen;
    seen.request = decodeRequest(request.body());
    seen.cimOperation = headerOf(request, "CIMOperation");
    seen.cimMethod = CIMHttpHeaders::decodeValue(headerOf(request, "CIMMethod")).value_or("<undecodable>");
    seen.cimObject = CIMHttpHeaders::decodeValue(headerOf(request, "CIMObject")).value_or("<undecodable>");
    seen.protocolVersion = headerOf(request, "CIMProtocolVersion");
    seen.authorization = headerOf(request, "Authorization");
    seen.te = headerOf(request, "TE");
    seen.hasExpect = request.find(http::field::expect) != request.end();

    bool chunked = false;
    {
        std::lock_guard lock(m_mutex);
        m_received.push_back(seen);
        if (m_dropsLeft > 0) {
            --m_dropsLeft;
            HttpServerReply drop;
            drop.dropConnection = true;
            return drop;
        }
        if (!m_expectedAuthorization.empty() && seen.authorization != m_expectedAuthorization) {
            ++m_unauthorized;
            HttpServerReply refused;
            refused.message.result(http::status::unauthorized);
            refused.message.set(http::field::www_authenticate, "Basic realm=\"test\"");
            return refused;
        }
        if (m_rawReply)
            return *m_rawReply;
        chunked = m_chunked && seen.te.find("trailers") != std::string::npos;
    }
    // The responder runs without the lock: a test may hold it up while it inspects the server.
    HttpServerReply reply = answer(seen.request);
    if (chunked) {
        reply.chunked = true;
        reply.chunkBytes = 1000;
        reply.trailers = {{"CIMStatusCode", "0"}};
    }
    return reply;
}

HttpServerReply TestCIMServer::answer(const CIMRequest& request)
{
    CIMResponse response = m_responder(request);
    response.messageId = request.messageId;
    response.extrinsic = request.extrinsic;
    response.methodName = request.methodName;
    HttpServerReply reply;
    reply.message.result(http::status::ok);
    reply.message.set("CIMOperation", "MethodResponse");
    reply.message.set(http::field::content_type, "application/xml; charset=\"utf-8\"");
    reply.message.body() = encodeResponse(response);
    return reply;
}

CIMResponse namedInstancesResponse(std::vector<CIMInstance> instances)
{
    CIMResponse response;
    response.kind = CIMReturnKind::NamedInstances;
    response.instances = std::move(instances);
    return response;
}

} // namespace cim::test
