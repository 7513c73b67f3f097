#pragma once

#include "cim/http/HttpServer.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

namespace cim {

class CIMIndicationConsumer;
class CIMInstance;
struct CIMIndicationContext;

struct CIMListenerOptions {
    std::string address = "0.0.0.0";
    std::uint16_t port = 0;
    // Limits that keep a hostile or broken sender from hurting the process.
    std::size_t maxConnections = 128;
    std::uint64_t maxBodyBytes = 4 * 1024 * 1024;
    std::chrono::milliseconds readTimeout{10000};
    std::chrono::milliseconds idleTimeout{30000};
};

// Receives CIM export requests (indications) over HTTP and hands each indication to the
// registered consumers.
//
// Accepted: POST to "/CIMListener" or any path below "/CIMListener/" with
// "CIMExport: MethodRequest", a CIMExportMethod header naming the method of the body, and an
// EXPMETHODCALL "ExportIndication" with the "NewIndication" instance. The answer is
// "CIMExport: MethodResponse" with an EXPMETHODRESPONSE echoing the MESSAGE ID. Failures:
//   other methods                                    405 (M-POST 501)
//   other paths                                      404
//   CIMExport missing or not MethodRequest           400, CIMError: unsupported-operation
//   unsupported CIMProtocolVersion                   501, CIMError: unsupported-protocol-version
//   XML not well formed                              400, CIMError: request-not-well-formed
//   XML not an export request                        400, CIMError: request-not-valid
//   CIMExportMethod missing or not the body's method 400, CIMError: header-mismatch
//   an export method other than ExportIndication     200 with ERROR CIM_ERR_NOT_SUPPORTED
//   no NewIndication instance                        200 with ERROR CIM_ERR_INVALID_PARAMETER
//   a consumer throws                                200 with ERROR (its code, else CIM_ERR_FAILED)
//
// Threads: start(), stop(), addConsumer() and removeConsumer() from any thread but not from
// inside consumeIndication. Consumers are called on the listener's threads while a shared
// lock on the consumer list is held; removeConsumer() takes it exclusively, so once it
// returns the consumer is never called again and may be destroyed.
class CIMListener {
public:
    explicit CIMListener(CIMListenerOptions options = {});
    // Listens on every IPv4 interface at the given port, 0 for any free one.
    explicit CIMListener(std::uint16_t port);
    ~CIMListener();
    CIMListener(const CIMListener&) = delete;
    CIMListener& operator=(const CIMListener&) = delete;

    // Throws boost::system::system_error when the port cannot be bound.
    void start();
    void stop();
    bool isActive() const;

    // The port listened on (the one chosen when 0 was asked for); 0 before start().
    std::uint16_t getPortNumber() const;

    // The consumer is not owned; it must stay alive until removed or the listener stopped.
    // Adding the same consumer twice has no effect.
    void addConsumer(CIMIndicationConsumer* consumer);
    void removeConsumer(CIMIndicationConsumer* consumer);

    // Indications handed to consumers, and export requests refused, since construction.
    std::uint64_t indicationsDelivered() const { return m_delivered.load(); }
    std::uint64_t requestsRefused() const { return m_refused.load(); }

private:
    HttpServerReply handle(const HttpRequest& request, const HttpRequestContext& context);
    HttpServerReply handleExport(const HttpRequest& request, const HttpRequestContext& context,
                                 const std::string& url);
    void deliver(const CIMIndicationContext& context, const std::string& url, const CIMInstance& indication);
    HttpServerReply refuse(unsigned status, std::string_view cimError);

    std::unique_ptr<HttpServer> m_server;

    mutable std::shared_mutex m_consumersMutex; // guards m_consumers
    std::vector<CIMIndicationConsumer*> m_consumers;

    std::atomic<std::uint64_t> m_delivered{0};
    std::atomic<std::uint64_t> m_refused{0};
};

} // namespace cim
