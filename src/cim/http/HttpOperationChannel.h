#pragma once

#include "cim/http/HttpClientConnection.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace cim {

// Carries CIM operation requests (CIM-XML bodies) to one CIM server over a keep-alive HTTP
// connection and checks the replies at the HTTP level: the headers DSP0200 asks for go out
// with every request (Basic credentials up front, "TE: trailers", never "Expect"), and a reply
// is accepted only as a 200 with "CIMOperation: MethodResponse" and no failing CIMStatusCode
// trailer.
//
// We retry a read once, on a fresh connection, when the server closed our idle kept-alive
// connection just as the request reached it and not one byte of a reply came back: the
// array's server closes idle connections on its own schedule, so this race is ordinary
// HTTP client business and not a failure of the array. Requests that change something are
// never sent twice, and nothing else is ever retried here: every other failure goes to the
// caller, whose connection state and keep-alive probe decide what happens next.
//
// Threads: not thread-safe; CIMClient serialises its calls.
class HttpOperationChannel {
public:
    // Whether a request may be sent a second time after the link dropped before any reply
    // byte arrived. Only for requests that change nothing on the server.
    enum class Resend { Never, OnceIfUnanswered };

    HttpOperationChannel() = default;
    HttpOperationChannel(const HttpOperationChannel&) = delete;
    HttpOperationChannel& operator=(const HttpOperationChannel&) = delete;

    // Throws CIMAlreadyConnectedException when connected, CIMCannotConnectException.
    void connect(const std::string& host, std::uint16_t port, const std::string& userName,
                 const std::string& password);
    void disconnect() noexcept;
    bool isConnected() const { return m_http.isConnected(); }

    // Zero means no limit.
    void setTimeout(std::chrono::milliseconds timeout) { m_http.setTimeout(timeout); }
    std::chrono::milliseconds timeout() const { return m_http.timeout(); }
    void setMaxReplyBodyBytes(std::uint64_t bytes) { m_http.setMaxReplyBodyBytes(bytes); }

    // Posts one CIM-XML request. cimMethod and cimObject are the plain texts for the CIMMethod
    // and CIMObject headers (encoded here). Returns the reply body.
    //
    // Throws the transport exceptions (CIMNotConnectedException, CIMCannotConnectException,
    // CIMTimeoutException, CIMMalformedHttpException), CIMHttpErrorException for a status
    // other than 200 (its message is "HTTP Error (401 Unauthorized)." for refused
    // credentials), and CIMException for a failing CIMStatusCode trailer.
    std::string post(std::string_view cimMethod, std::string_view cimObject, std::string body, Resend resend);

    // As post, but the body of a reply that passes the checks of its header (200, a method
    // response, no failing CIMStatusCode header) goes to `consumer` piece by piece as it
    // arrives; the checks of the whole reply (a failing CIMStatusCode trailer) follow once it
    // has all come. The body of any other reply is not handed over. What the consumer throws
    // ends the request (the connection is closed) and goes to the caller.
    void post(std::string_view cimMethod, std::string_view cimObject, std::string body, Resend resend,
              const std::function<void(std::string_view piece)>& consumer);

    std::string localAddress() const { return m_http.localAddress(); }
    std::string peerAddress() const { return m_http.peerAddress(); }
    std::uint64_t connectionsOpened() const { return m_http.connectionsOpened(); }

private:
    HttpClientConnection::Request buildRequest(std::string_view cimMethod, std::string_view cimObject,
                                               std::string body) const;
    template <class Exchange>
    HttpClientConnection::Response exchange(Resend resend, const Exchange& exchange);
    static void checkReply(const HttpClientConnection::Response& reply);

    HttpClientConnection m_http;
    std::string m_authorization;
};

} // namespace cim
