#pragma once

#include "cim/http/HttpServer.h"

#include <boost/asio/ip/address.hpp>

#include <chrono>
#include <map>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
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
    // Limits that keep a hostile or broken sender from hurting the process. An indication is a
    // few kilobytes; a megabyte leaves room for one that embeds large instances.
    std::size_t maxConnections = 128;
    std::size_t maxConnectionsPerPeer = 64;
    std::uint64_t maxBodyBytes = 1024 * 1024;
    std::chrono::milliseconds headTimeout{5000};
    std::chrono::milliseconds readTimeout{10000};
    std::chrono::milliseconds idleTimeout{30000};
};

// Receives CIM export requests (indications) over HTTP and hands each indication to the
// registered consumers.
//
// Only senders whose address was allowed (the arrays this process subscribed with) are
// heard; any other is answered 403 on the request's head, before its body is read, and
// counted.
//
// Accepted: POST to "/CIMListener" or any path below "/CIMListener/" with
// "CIMExport: MethodRequest", a CIMExportMethod header naming the method of the body, and an
// EXPMETHODCALL "ExportIndication" with the "NewIndication" instance. The answer is
// "CIMExport: MethodResponse" with an EXPMETHODRESPONSE echoing the MESSAGE ID. Failures:
//   a sender whose address is not allowed           403
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
// returns the consumer is never called again and may be destroyed. allowSender() and
// forbidSender() from any thread, also from inside consumeIndication (m_sendersMutex).
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

    // Lets indications from this address in; each allowSender() is undone by one
    // forbidSender(), so two subscriptions with the same array may end independently.
    // IPv4 addresses also match their IPv4-mapped IPv6 form.
    void allowSender(const boost::asio::ip::address& address);
    void forbidSender(const boost::asio::ip::address& address);
    bool senderAllowed(const boost::asio::ip::address& address) const;

    // Indications handed to consumers, export requests refused, and of those the ones
    // refused because their sender was not allowed, since construction.
    std::uint64_t indicationsDelivered() const { return m_delivered.load(); }
    std::uint64_t requestsRefused() const { return m_refused.load(); }
    std::uint64_t sendersRefused() const { return m_sendersRefused.load(); }

private:
    std::optional<HttpServerReply> checkSender(const HttpRequestContext& context);
    HttpServerReply handle(const HttpRequest& request, const HttpRequestContext& context);
    HttpServerReply handleExport(const HttpRequest& request, const HttpRequestContext& context,
                                 const std::string& url);
    void deliver(const CIMIndicationContext& context, const std::string& url, const CIMInstance& indication);
    HttpServerReply refuse(unsigned status, std::string_view cimError);

    std::unique_ptr<HttpServer> m_server;

    mutable std::shared_mutex m_consumersMutex; // guards m_consumers
    std::vector<CIMIndicationConsumer*> m_consumers;

    mutable std::mutex m_sendersMutex; // guards m_senders
    // Allowed address and how many times it was allowed.
    std::map<boost::asio::ip::address, unsigned> m_senders;

    std::atomic<std::uint64_t> m_delivered{0};
    std::atomic<std::uint64_t> m_refused{0};
    std::atomic<std::uint64_t> m_sendersRefused{0};
};

} // namespace cim
