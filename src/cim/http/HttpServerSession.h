#pragma once

#include "cim/http/HttpConnectionActivity.h"
#include "cim/http/HttpServer.h"

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/parser.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cim {

// One accepted connection of an HttpServer: reads requests one after the other, hands each to
// the handler and writes the reply, until the peer or a reply ends the connection, a limit is
// broken or a time-out passes.
//
// Threads: every member runs on the connection's own strand (the socket's executor), so the
// members need no lock. The session keeps itself alive through the handlers it has pending.
class HttpServerSession : public std::enable_shared_from_this<HttpServerSession> {
public:
    HttpServerSession(boost::asio::ip::tcp::socket socket, const HttpServerOptions& options,
                      const HttpRequestHandler& handler, const HttpHeadCheck& headCheck,
                      std::shared_ptr<HttpConnectionActivity> activity, std::function<void()> onFinished);
    ~HttpServerSession();
    HttpServerSession(const HttpServerSession&) = delete;
    HttpServerSession& operator=(const HttpServerSession&) = delete;

    void start();
    // Closes the connection when it is waiting for a request or receiving a head, so that a
    // new connection can be served in its place.
    void closeUnlessBusy();

private:
    void readHeader();
    void readRestOfHeader();
    void onHeader();
    // Answers a request refused on its head: after skipping a small body, or closing.
    void refuseOnHead(HttpServerReply refusal);
    void onSkippedBody(const boost::system::error_code& ec);
    void sendContinue();
    void readBody();
    void onBody(const boost::system::error_code& ec);
    void answerReadError(const boost::system::error_code& ec);
    void respond();
    HttpServerReply callHandler(const HttpRequest& request);
    void writeReply(bool keepAlive);
    void writeChunked(bool keepAlive);
    void onWritten(const boost::system::error_code& ec, bool keepAlive);
    void replyErrorAndClose(unsigned status);
    void closeConnection();
    void expireAfter(std::chrono::milliseconds limit);

    boost::beast::tcp_stream m_stream;
    boost::beast::flat_buffer m_buffer;
    std::optional<boost::beast::http::request_parser<boost::beast::http::string_body>> m_parser;
    HttpServerReply m_reply;
    // A chunked reply on the wire: the framing texts and the buffers that interleave them with
    // the body.
    std::vector<std::string> m_framing;
    std::vector<boost::asio::const_buffer> m_wire;
    HttpRequestContext m_context;
    // Set while a refused request's small body is being skipped.
    std::optional<HttpServerReply> m_refusal;
    std::chrono::steady_clock::time_point m_headDeadline;
    bool m_firstRequest = true;

    const HttpServerOptions& m_options;
    const HttpRequestHandler& m_handler;
    const HttpHeadCheck& m_headCheck;
    const std::shared_ptr<HttpConnectionActivity> m_activity;
    std::function<void()> m_onFinished;
};

} // namespace cim
