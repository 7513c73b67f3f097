#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/buffer_body.hpp>
#include <boost/beast/http/string_body.hpp>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cim {

// One persistent keep-alive HTTP/1.1 connection to a server, driven synchronously from the
// caller's thread (the operations run on a private io_context, so time-outs cancel them
// cleanly).
//
// Threads: not thread-safe; one caller at a time (CIMClient serialises its requests on its
// own lock).
class HttpClientConnection {
public:
    using Request = boost::beast::http::request<boost::beast::http::string_body>;
    using Response = boost::beast::http::response<boost::beast::http::string_body>;
    using ResponseHeader = boost::beast::http::response_header<>;
    // Takes the body of a reply piece by piece as it arrives.
    using BodyConsumer = std::function<void(std::string_view piece)>;
    // Chooses the consumer of a reply's body from its header, before any of the body is read.
    using BodyRouter = std::function<BodyConsumer(const ResponseHeader& header)>;

    static constexpr std::uint64_t kDefaultMaxReplyBodyBytes = 1024ull * 1024 * 1024;

    HttpClientConnection();
    ~HttpClientConnection();
    HttpClientConnection(const HttpClientConnection&) = delete;
    HttpClientConnection& operator=(const HttpClientConnection&) = delete;

    // Opens a TCP connection (closing an earlier one first) and keeps host and port for
    // re-opening it. Throws CIMCannotConnectException when the name does not resolve, the
    // server refuses, or the time-out passes.
    void connect(const std::string& host, std::uint16_t port);
    // Closes the connection; exchange() fails until the next connect().
    void close() noexcept;
    // True between connect() and close(), even while the TCP link itself is down and waits
    // to be reopened by the next exchange.
    bool isConnected() const { return m_connected; }

    // Limit for every later connect and exchange (each as a whole); zero means no limit.
    void setTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds timeout() const { return m_timeout; }

    void setMaxReplyBodyBytes(std::uint64_t bytes) { m_maxReplyBodyBytes = bytes; }
    // Connections opened from now on leave from this local address (as a server's own
    // connections leave from the address it serves on); empty lets the system choose.
    void setSourceAddress(std::string address) { m_sourceAddress = std::move(address); }

    // Sends the request and reads the whole reply; interim 1xx replies are skipped. When the
    // server has closed the connection while it was idle, a new connection to the same host
    // and port is opened first: nothing had been sent on the dead one. The request gets a
    // Host header when it has none, its Content-Length, and never an Expect header.
    // After a reply that does not keep the connection alive, and after every failure below,
    // the TCP link is closed and the next exchange reopens it.
    //
    // Throws CIMNotConnectedException (not connected, or the link dropped during the
    // exchange: noReplyReceived() says whether any reply byte arrived),
    // CIMCannotConnectException (reopening failed), CIMTimeoutException and
    // CIMMalformedHttpException.
    Response exchange(Request& request);

    // As above, but the body of the final reply goes, as it arrives and in pieces of at most
    // one read buffer, to the consumer `route` gives for its header; the reply returned has
    // an empty body (and the trailer fields among its fields). The time-out covers the
    // consumer's work too. Whatever the consumer throws ends the exchange: the link is closed
    // (the rest of the reply is not read) and the exception goes to the caller.
    Response exchange(Request& request, const BodyRouter& route);

    // Our address on the connection: the address the server sees us by. It is kept while the
    // link waits to be reopened; empty when not connected.
    std::string localAddress() const { return m_localAddress; }
    // The server's address the connection went to (the one its name resolved to).
    std::string peerAddress() const { return m_peerAddress; }

    // TCP connections opened so far, re-opens included.
    std::uint64_t connectionsOpened() const { return m_connectionsOpened; }

private:
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;

    void open();
    void startConnect(const boost::asio::ip::tcp::resolver::results_type& endpoints, boost::system::error_code& result);
    void dropLink() noexcept;
    Deadline deadlineFromNow() const;
    bool runUntil(const Deadline& deadline, const std::function<void()>& cancel);
    bool linkUsable();
    Deadline start(Request& request);
    void send(Request& request, const Deadline& deadline);
    Response receive(const Deadline& deadline);
    Response receive(const Deadline& deadline, const BodyRouter& route);
    template <class Parser>
    void readHeader(Parser& parser, const Deadline& deadline);
    template <class Parser>
    void awaitRead(Parser& parser, boost::system::error_code& readError, const Deadline& deadline);
    void readBodyPieces(boost::beast::http::response_parser<boost::beast::http::buffer_body>& parser,
                        const Deadline& deadline, const BodyConsumer& consumer);
    void prepareBody(boost::beast::http::response_parser<boost::beast::http::string_body>& parser) const;
    [[noreturn]] void failReceive(const boost::system::error_code& ec, bool replyStarted);
    std::string peerName() const;
    std::string socketLocalAddress() const;
    std::string socketPeerAddress() const;

    boost::asio::io_context m_ioc;
    boost::asio::ip::tcp::socket m_socket;
    boost::beast::flat_buffer m_buffer;
    std::string m_host;
    std::uint16_t m_port = 0;
    std::string m_localAddress;
    std::string m_peerAddress;
    std::string m_sourceAddress;
    bool m_connected = false;
    std::chrono::milliseconds m_timeout{0};
    std::uint64_t m_maxReplyBodyBytes = kDefaultMaxReplyBodyBytes;
    std::uint64_t m_connectionsOpened = 0;
};

} // namespace cim
