#include "sim/CimServer.h"

#include "cim/http/CIMHttpHeaders.h"
#include "cim/http/HttpBasicCredentials.h"
#include "cim/xml/CIMXmlCodec.h"

#include "trace/Trace.h"

#include <boost/beast/http/field.hpp>
#include <boost/beast/http/status.hpp>

#include <pugixml.hpp>

#include <strings.h>

namespace Merrow::Sim {

namespace http = boost::beast::http;
using cim::CIMHttpHeaders;

namespace {

// Beast of Boost 1.74 takes its own string_view.
boost::beast::string_view beastView(std::string_view text)
{
    return {text.data(), text.size()};
}

// Set on the HTTP server's threads while they run a request.
thread_local bool t_inRequest = false;

struct InRequest {
    InRequest() { t_inRequest = true; }
    ~InRequest() { t_inRequest = false; }
};

cim::HttpServerReply plainReply(http::status status)
{
    cim::HttpServerReply reply;
    reply.message.result(status);
    return reply;
}

cim::HttpServerReply cimErrorReply(http::status status, std::string_view cimError)
{
    cim::HttpServerReply reply = plainReply(status);
    reply.message.set(beastView(CIMHttpHeaders::kCIMError), beastView(cimError));
    return reply;
}

std::optional<std::string> header(const cim::HttpRequest& request, std::string_view name)
{
    auto found = request.find(boost::beast::string_view(name.data(), name.size()));
    if (found == request.end())
        return std::nullopt;
    return std::string(found->value());
}

bool startsWithVersion(const char* text, char major)
{
    return text != nullptr && text[0] == major && text[1] == '.';
}

// Why a body the codec refused is not a request, as the CIMError header says it.
cim::HttpServerReply classifyUndecodable(const std::string& body)
{
    pugi::xml_document document;
    if (!document.load_buffer(body.data(), body.size()))
        return cimErrorReply(http::status::bad_request, CIMHttpHeaders::kErrRequestNotWellFormed);
    const pugi::xml_node cim = document.child("CIM");
    const pugi::xml_node message = cim.child("MESSAGE");
    if (cim && !startsWithVersion(cim.attribute("CIMVERSION").as_string(nullptr), '2'))
        return cimErrorReply(http::status::not_implemented, CIMHttpHeaders::kErrUnsupportedCimVersion);
    if (cim && !startsWithVersion(cim.attribute("DTDVERSION").as_string(nullptr), '2'))
        return cimErrorReply(http::status::not_implemented, CIMHttpHeaders::kErrUnsupportedDtdVersion);
    if (message && !startsWithVersion(message.attribute("PROTOCOLVERSION").as_string(nullptr), '1'))
        return cimErrorReply(http::status::not_implemented, CIMHttpHeaders::kErrUnsupportedProtocolVersion);
    if (message.child("MULTIREQ"))
        return cimErrorReply(http::status::not_implemented, CIMHttpHeaders::kErrMultipleRequestsUnsupported);
    return cimErrorReply(http::status::bad_request, CIMHttpHeaders::kErrRequestNotValid);
}

bool sameNamespace(std::string_view a, std::string_view b)
{
    auto trim = [](std::string_view text) {
        while (!text.empty() && text.front() == '/')
            text.remove_prefix(1);
        return text;
    };
    a = trim(a);
    b = trim(b);
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// CIMObject carries the namespace of an intrinsic request and the target path of an
// extrinsic one.
bool headersMatch(const cim::HttpRequest& http, const cim::CIMRequest& request)
{
    const auto method = header(http, CIMHttpHeaders::kCIMMethod);
    const auto object = header(http, CIMHttpHeaders::kCIMObject);
    if (!method || !object)
        return false;
    const auto methodName = CIMHttpHeaders::decodeValue(*method);
    const auto objectText = CIMHttpHeaders::decodeValue(*object);
    if (!methodName || !objectText || ::strcasecmp(methodName->c_str(), request.methodName.c_str()) != 0)
        return false;
    if (!request.extrinsic)
        return sameNamespace(*objectText, request.nameSpace.getString());
    try {
        cim::CIMObjectPath path = cim::CIMObjectPath::parse(*objectText);
        cim::CIMObjectPath target = request.target;
        path.setHost("");
        target.setHost("");
        if (target.getNameSpace().isNull())
            target.setNameSpace(request.nameSpace);
        return path.identical(target);
    } catch (const std::exception&) {
        return false;
    }
}

bool isControlRequest(const cim::HttpRequest& http)
{
    const auto object = header(http, CIMHttpHeaders::kCIMObject);
    if (!object)
        return false;
    const auto text = CIMHttpHeaders::decodeValue(*object);
    const std::string_view control = Namespaces::Control;
    return text && text->size() >= control.size() && ::strncasecmp(text->c_str(), control.data(), control.size()) == 0;
}

cim::HttpServerReply responseReply(std::string body)
{
    cim::HttpServerReply reply = plainReply(http::status::ok);
    reply.message.body() = std::move(body);
    reply.message.set(http::field::content_type, beastView(CIMHttpHeaders::kContentType));
    reply.message.set(beastView(CIMHttpHeaders::kCIMOperation), beastView(CIMHttpHeaders::kMethodResponse));
    return reply;
}

} // namespace

CimServer::CimServer(CimServerOptions options, OperationDispatcher& dispatcher, FaultControl& faults)
    : m_options(std::move(options)),
      m_dispatcher(dispatcher),
      m_faults(faults),
      m_expectedAuthorization(m_options.user.empty() ? std::string() : m_options.user + ":" + m_options.password)
{
    cim::HttpServerOptions serverOptions;
    serverOptions.address = m_options.address;
    serverOptions.port = m_options.port;
    serverOptions.idleTimeout = m_options.idleTimeout;
    m_server = std::make_unique<cim::HttpServer>(
        serverOptions,
        [this](const cim::HttpRequest& request, const cim::HttpRequestContext&) { return handleWhole(request); },
        [this](const cim::HttpRequest& request, const cim::HttpRequestContext&) { return checkHead(request); });
}

CimServer::~CimServer()
{
    stop();
}

void CimServer::start()
{
    {
        std::lock_guard lock(m_lifecycle);
        if (!m_server->isRunning())
            m_server->start();
        m_down = false;
    }
    std::lock_guard lock(m_dropMutex);
    if (!m_restarter.joinable()) {
        m_restarterStopping = false;
        m_restarter = std::thread([this] { runRestarter(); });
    }
}

void CimServer::stop()
{
    m_faults.releaseWaiting();
    {
        std::lock_guard lock(m_dropMutex);
        m_restarterStopping = true;
    }
    m_dropWake.notify_all();
    if (m_restarter.joinable())
        m_restarter.join();
    std::lock_guard lock(m_lifecycle);
    m_server->stop();
}

std::uint16_t CimServer::port() const
{
    return m_server->port();
}

void CimServer::restart()
{
    // Requests held by a hang or delay must end, or stopping would wait for them.
    m_faults.releaseWaiting();
    std::lock_guard lock(m_lifecycle);
    if (!m_server->isRunning())
        return;
    m_server->stop();
    try {
        m_server->start();
    } catch (const std::exception& e) {
        MWTRACE(1, "TC.Sim.Server") << "cannot listen again after dropping connections: " << e.what() << MWENDREC;
    }
}

void CimServer::runRestarter()
{
    std::unique_lock lock(m_dropMutex);
    for (;;) {
        m_dropWake.wait(lock, [&] { return m_dropRequested || m_cycleRequested || m_restarterStopping; });
        if (m_restarterStopping)
            return;
        if (m_cycleRequested) {
            runPowerCycle(lock);
            continue;
        }
        m_dropRequested = false;
        lock.unlock();
        // Lets the request that asked for the drop be answered first.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        restart();
        lock.lock();
    }
}

void CimServer::runPowerCycle(std::unique_lock<std::mutex>& lock)
{
    const PowerCycle cycle = *m_cycleRequested;
    m_cycleRequested.reset();
    m_dropRequested = false;
    m_powerOnRequested = false;
    lock.unlock();
    // Lets the request that asked for it be answered first.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    goDown();
    lock.lock();
    const auto back = [&] { return m_powerOnRequested || m_restarterStopping; };
    if (cycle == PowerCycle::Restart)
        m_dropWake.wait_for(lock, m_downTime, back);
    else
        m_dropWake.wait(lock, back);
    m_powerOnRequested = false;
    // A stopping server stays stopped; start() brings it back.
    if (m_restarterStopping)
        return;
    lock.unlock();
    comeBack();
    lock.lock();
}

void CimServer::goDown()
{
    m_faults.releaseWaiting();
    std::lock_guard lock(m_lifecycle);
    if (!m_server->isRunning())
        return;
    m_server->stop();
    m_down = true;
    MWTRACE(4, "TC.Sim.Server") << "down: every connection closed, nothing listens" << MWENDREC;
}

void CimServer::comeBack()
{
    std::lock_guard lock(m_lifecycle);
    if (!m_down)
        return;
    m_down = false;
    try {
        m_server->start();
        MWTRACE(4, "TC.Sim.Server") << "back up: listening again" << MWENDREC;
    } catch (const std::exception& e) {
        MWTRACE(1, "TC.Sim.Server") << "cannot listen again after a restart: " << e.what() << MWENDREC;
    }
}

void CimServer::powerCycle(PowerCycle cycle, std::chrono::milliseconds downTime)
{
    {
        std::lock_guard lock(m_dropMutex);
        if (cycle == PowerCycle::PowerOn) {
            m_powerOnRequested = true;
        } else {
            m_cycleRequested = cycle;
            m_downTime = downTime;
        }
    }
    m_dropWake.notify_all();
}

bool CimServer::poweredOn() const
{
    std::lock_guard lock(m_lifecycle);
    return !m_down;
}

void CimServer::dropConnections()
{
    if (!t_inRequest) {
        restart();
        return;
    }
    {
        std::lock_guard lock(m_dropMutex);
        m_dropRequested = true;
    }
    m_dropWake.notify_all();
}

cim::HttpServerReply CimServer::handle(const cim::HttpRequest& request)
{
    if (auto refused = checkHead(request))
        return std::move(*refused);
    return handleWhole(request);
}

// Everything that can be decided on the head, so that a request refused here never has its
// body read: an array does not take in megabytes from a client that has not logged in.
std::optional<cim::HttpServerReply> CimServer::checkHead(const cim::HttpRequest& request)
{
    InRequest inRequest;
    if (request.method() != http::verb::post) {
        cim::HttpServerReply reply = plainReply(http::status::method_not_allowed);
        reply.message.set(http::field::allow, "POST");
        return reply;
    }
    const bool control = isControlRequest(request);
    if (!control) {
        m_faults.holdRequest();
        if (m_faults.takeDrop()) {
            cim::HttpServerReply dropped;
            dropped.dropConnection = true;
            return dropped;
        }
    }
    return checkCredentials(request, control);
}

std::optional<cim::HttpServerReply> CimServer::checkCredentials(const cim::HttpRequest& request, bool control)
{
    const auto credentials = cim::HttpBasicCredentials::of(request);
    if (credentials.status() == cim::HttpBasicCredentials::Status::Repeated)
        return plainReply(http::status::bad_request);
    const bool present = credentials.status() == cim::HttpBasicCredentials::Status::Present;
    const std::string& given = credentials.userPassword();
    const bool authorized = m_expectedAuthorization.empty() || (present && given == m_expectedAuthorization)
                            || (present && !control && m_dispatcher.acceptsAccount(given));
    // A client that sends no credentials yet is asked for them; only wrong ones are refused.
    if (!authorized && present)
        recordRefusedLogin(given);
    if (authorized && (control || !m_faults.refuseLogins()))
        return std::nullopt;
    cim::HttpServerReply reply = plainReply(http::status::unauthorized);
    reply.message.set(http::field::www_authenticate, "Basic realm=\"corvane-sim\"");
    return reply;
}

void CimServer::recordRefusedLogin(const std::string& credentials)
{
    // The log-in is refused all the same when the record cannot be saved.
    try {
        m_dispatcher.recordRefusedLogin(credentials);
    } catch (const std::exception& e) {
        MWTRACE(2, "TC.Sim.Server") << "refused log-in not recorded: " << e.what() << MWENDREC;
    }
}

cim::HttpServerReply CimServer::handleWhole(const cim::HttpRequest& request)
{
    InRequest inRequest;
    const auto operation = header(request, CIMHttpHeaders::kCIMOperation);
    if (!operation || !CIMHttpHeaders::tokenEquals(*operation, CIMHttpHeaders::kMethodCall))
        return cimErrorReply(http::status::bad_request, CIMHttpHeaders::kErrRequestNotValid);
    const auto version = header(request, CIMHttpHeaders::kCIMProtocolVersion);
    if (version && !startsWithVersion(version->c_str(), '1'))
        return cimErrorReply(http::status::not_implemented, CIMHttpHeaders::kErrUnsupportedProtocolVersion);

    cim::CIMRequest decoded;
    try {
        decoded = cim::decodeRequest(request.body());
    } catch (const std::exception&) {
        return classifyUndecodable(request.body());
    }
    if (!headersMatch(request, decoded))
        return cimErrorReply(http::status::bad_request, CIMHttpHeaders::kErrHeaderMismatch);
    return responseReply(m_dispatcher.dispatchEncoded(decoded));
}

} // namespace Merrow::Sim
