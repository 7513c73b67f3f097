#pragma once

// Failures of the link under the CIM operations: the TCP connection and the HTTP framing.
// Each class names one cause so that callers can react differently (reconnect, report the
// array as unreachable, give up); a CIM status answered by the server is a CIMException
// instead, never one of these.

#include <stdexcept>
#include <string>

namespace cim {

// Base of every transport failure.
class CIMTransportException : public std::runtime_error {
public:
    explicit CIMTransportException(const std::string& message);
};

// The TCP connection could not be opened: name not resolved, refused, unreachable, or the
// connect took longer than the time-out.
class CIMCannotConnectException : public CIMTransportException {
public:
    explicit CIMCannotConnectException(const std::string& message);
};

// The client is not connected, or the server dropped the connection during a request.
// noReplyReceived() tells whether the link died before a single byte of the reply came
// back: only then may an idempotent request be sent again on a new connection.
class CIMNotConnectedException : public CIMTransportException {
public:
    explicit CIMNotConnectedException(const std::string& message, bool noReplyReceived = false);

    bool noReplyReceived() const { return m_noReplyReceived; }

private:
    bool m_noReplyReceived;
};

// connect() on a client that already holds a connection.
class CIMAlreadyConnectedException : public CIMTransportException {
public:
    CIMAlreadyConnectedException();
};

// The reply is not acceptable HTTP or not a CIM-XML reply: bad status line, bad framing,
// missing or wrong CIMOperation header, a body that is not well-formed XML.
class CIMMalformedHttpException : public CIMTransportException {
public:
    explicit CIMMalformedHttpException(const std::string& message);
};

// The request did not complete within the time-out set on the client. The connection is
// closed afterwards because the state of the exchange is unknown.
class CIMTimeoutException : public CIMTransportException {
public:
    explicit CIMTimeoutException(const std::string& message);
};

// The server answered with an HTTP status other than 200 (401 when the credentials are
// refused). The message has the form "HTTP Error (401 Unauthorized)." that callers compare.
class CIMHttpErrorException : public CIMTransportException {
public:
    CIMHttpErrorException(unsigned statusCode, const std::string& reason,
                          const std::string& cimError = {}, const std::string& detail = {});

    unsigned statusCode() const { return m_statusCode; }
    const std::string& reason() const { return m_reason; }
    // The value of the CIMError header, empty when the server sent none.
    const std::string& cimError() const { return m_cimError; }
    // More text from the server, may be empty.
    const std::string& detail() const { return m_detail; }

    static std::string formatMessage(unsigned statusCode, const std::string& reason);

private:
    unsigned m_statusCode;
    std::string m_reason;
    std::string m_cimError;
    std::string m_detail;
};

} // namespace cim
