#pragma once

// A small CIM server for the client tests: HttpServer plus the codec, answering each decoded
// request with what the test's responder returns, and recording what arrived.

#include "cim/xml/CIMRequest.h"
#include "cim/xml/CIMResponse.h"
#include "cim/http/HttpServer.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace cim::test {

struct ReceivedRequest {
    CIMRequest request;
    std::string cimOperation;
    std::string cimMethod;   // decoded
    std::string cimObject;   // decoded
    std::string protocolVersion;
    std::string authorization;
    std::string te;
    bool hasExpect = false;
};

class TestCIMServer {
public:
    // Gets each decoded request; messageId, extrinsic and methodName of the answer are filled
    // in from the request.
    using Responder = std::function<CIMResponse(const CIMRequest&)>;

    explicit TestCIMServer(Responder responder, HttpServerOptions options = defaultOptions());
    ~TestCIMServer();

    static HttpServerOptions defaultOptions();

    std::uint16_t port() const { return m_server.port(); }
    HttpServer& http() { return m_server; }

    // Requests without these Basic credentials get 401.
    void requireCredentials(const std::string& user, const std::string& password);
    // The next `count` requests are read and then the connection is closed unanswered.
    void dropNextRequests(int count);
    // Replies go out chunked with a "CIMStatusCode: 0" trailer when the client asked for
    // trailers.
    void setChunkedReplies(bool chunked);
    // Every later request gets exactly this reply instead of the responder's.
    void setRawReply(HttpServerReply reply);

    std::vector<ReceivedRequest> received() const;
    int unauthorizedAnswers() const;

private:
    HttpServerReply handle(const HttpRequest& request);
    HttpServerReply answer(const CIMRequest& request);

    Responder m_responder;
    mutable std::mutex m_mutex; // guards everything below
    std::string m_expectedAuthorization;
    int m_dropsLeft = 0;
    bool m_chunked = false;
    std::optional<HttpServerReply> m_rawReply;
    std::vector<ReceivedRequest> m_received;
    int m_unauthorized = 0;
    HttpServer m_server; // last: stopped before the state its handler uses goes away
};

// An answer with `instances` as VALUE.NAMEDINSTANCE (they need paths).
CIMResponse namedInstancesResponse(std::vector<CIMInstance> instances);

} // namespace cim::test
