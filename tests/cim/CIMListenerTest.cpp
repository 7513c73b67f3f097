#include "cim/listener/CIMListener.h"

#include "ScriptedHttpPeer.h"
#include "cim/value/CIMException.h"
#include "cim/xml/CIMExportRequest.h"
#include "cim/xml/CIMExportResponse.h"
#include "cim/listener/CIMIndicationConsumer.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/http/HttpClientConnection.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <thread>

namespace cim {
namespace {

namespace http = boost::beast::http;

CIMInstance creationIndication(const std::string& volumeId)
{
    CIMInstance source("CIM_StorageVolume");
    source.addProperty(CIMProperty("DeviceID", CIMValue(volumeId)));
    CIMInstance indication("CIM_InstCreation");
    indication.addProperty(CIMProperty("IndicationIdentifier", CIMValue("17")));
    indication.addProperty(CIMProperty("SourceInstanceModelPath",
                                       CIMValue("root/snia:CIM_StorageVolume.DeviceID=\"" + volumeId + "\"")));
    indication.addProperty(CIMProperty("SourceInstance", CIMValue(source)));
    return indication;
}

std::string indicationBody(const std::string& messageId, const std::string& volumeId = "v1")
{
    return encodeExportRequest(CIMExportRequest::indication(messageId, creationIndication(volumeId)));
}

struct Delivery {
    std::string url;
    std::string messageId;
    std::string sender;
    CIMInstance indication;
};

class RecordingConsumer : public CIMIndicationConsumer {
public:
    void consumeIndication(const CIMIndicationContext& context, const std::string& url,
                           const CIMInstance& indication) override
    {
        std::lock_guard lock(m_mutex);
        m_deliveries.push_back({url, context.messageId, context.sender.address().to_string(), indication});
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

    void failWith(std::exception_ptr failure) { m_failure = std::move(failure); }

    std::vector<Delivery> deliveries() const
    {
        std::lock_guard lock(m_mutex);
        return m_deliveries;
    }

private:
    mutable std::mutex m_mutex; // guards m_deliveries
    std::vector<Delivery> m_deliveries;
    std::exception_ptr m_failure;
};

HttpClientConnection::Request exportRequest(std::string body, const std::string& target = "/CIMListener/array1")
{
    HttpClientConnection::Request request{http::verb::post, target, 11};
    request.set(http::field::content_type, "application/xml; charset=\"utf-8\"");
    request.set("CIMExport", "MethodRequest");
    request.set("CIMExportMethod", "ExportIndication");
    request.set("CIMProtocolVersion", "1.0");
    request.body() = std::move(body);
    return request;
}

class CIMListenerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_listener.allowSender(boost::asio::ip::make_address("127.0.0.1"));
        m_listener.addConsumer(&m_consumer);
        m_listener.start();
        m_sender.connect("127.0.0.1", m_listener.getPortNumber());
    }

    HttpClientConnection::Response post(HttpClientConnection::Request request) { return m_sender.exchange(request); }

    CIMListener m_listener{CIMListenerOptions{.address = "127.0.0.1", .maxBodyBytes = 64 * 1024}};
    RecordingConsumer m_consumer;
    HttpClientConnection m_sender;
};

TEST_F(CIMListenerTest, IndicationGoesToEveryConsumerAndTheAnswerEchoesTheMessageId)
{
    RecordingConsumer second;
    m_listener.addConsumer(&second);
    m_listener.addConsumer(&second);
    const auto reply = post(exportRequest(indicationBody("msg-42")));
    EXPECT_EQ(reply.result_int(), 200);
    EXPECT_EQ(reply["CIMExport"], "MethodResponse");
    const CIMExportResponse response = decodeExportResponse(reply.body());
    EXPECT_EQ(response.messageId, "msg-42");
    EXPECT_FALSE(response.error.has_value());

    for (const RecordingConsumer* consumer : {&m_consumer, &second}) {
        const auto deliveries = consumer->deliveries();
        ASSERT_EQ(deliveries.size(), 1u);
        EXPECT_EQ(deliveries[0].url, "/array1");
        EXPECT_EQ(deliveries[0].messageId, "msg-42");
        EXPECT_EQ(deliveries[0].sender, "127.0.0.1");
        EXPECT_EQ(deliveries[0].indication, creationIndication("v1"));
    }
    EXPECT_EQ(m_listener.indicationsDelivered(), 1u);
    m_listener.removeConsumer(&second);
}

TEST_F(CIMListenerTest, UrlIsThePathAfterCIMListener)
{
    for (const auto& [target, url] : std::vector<std::pair<std::string, std::string>>{
             {"/CIMListener", ""},
             {"/CIMListener/10.0.0.7", "/10.0.0.7"},
             {"/CIMListener/a/b?x=1", "/a/b"},
             {"http://127.0.0.1:5990/CIMListener/array2", "/array2"}}) {
        EXPECT_EQ(post(exportRequest(indicationBody("1"), target)).result_int(), 200) << target;
        EXPECT_EQ(m_consumer.deliveries().back().url, url) << target;
    }
}

TEST_F(CIMListenerTest, RemovedConsumerIsNotCalled)
{
    m_listener.removeConsumer(&m_consumer);
    EXPECT_EQ(post(exportRequest(indicationBody("1"))).result_int(), 200);
    EXPECT_TRUE(m_consumer.deliveries().empty());
}

struct RefusalCase {
    const char* description;
    std::function<void(HttpClientConnection::Request&)> spoil;
    unsigned status;
    std::string cimError;
};

void PrintTo(const RefusalCase& c, std::ostream* out)
{
    *out << c.description;
}

class CIMListenerRefusals : public CIMListenerTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(CIMListenerRefusals, AreAnsweredWithTheProperStatusAndNothingIsDelivered)
{
    auto request = exportRequest(indicationBody("7"));
    GetParam().spoil(request);
    const auto reply = post(std::move(request));
    EXPECT_EQ(reply.result_int(), GetParam().status);
    EXPECT_EQ(reply["CIMError"], GetParam().cimError);
    if (GetParam().status == 405) {
        EXPECT_EQ(reply["Allow"], "POST");
    }
    EXPECT_TRUE(m_consumer.deliveries().empty());
    // An oversized body is stopped by the HTTP layer before the listener sees the request.
    EXPECT_EQ(m_listener.requestsRefused(), GetParam().status == 413 ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, CIMListenerRefusals,
    ::testing::Values(
        RefusalCase{"GET", [](auto& r) { r.method(http::verb::get); }, 405, ""},
        RefusalCase{"PUT", [](auto& r) { r.method(http::verb::put); }, 405, ""},
        RefusalCase{"M-POST", [](auto& r) { r.method_string("M-POST"); }, 501, ""},
        RefusalCase{"other path", [](auto& r) { r.target("/cimom"); }, 404, ""},
        RefusalCase{"path that only starts alike", [](auto& r) { r.target("/CIMListenerX/a"); }, 404, ""},
        RefusalCase{"no CIMExport", [](auto& r) { r.erase("CIMExport"); }, 400, "unsupported-operation"},
        RefusalCase{"CIMExport of an operation", [](auto& r) { r.set("CIMExport", "MethodCall"); }, 400,
                    "unsupported-operation"},
        RefusalCase{"protocol version 2", [](auto& r) { r.set("CIMProtocolVersion", "2.0"); }, 501,
                    "unsupported-protocol-version"},
        RefusalCase{"XML not well formed", [](auto& r) { r.body() = "<CIM><MESSAGE"; }, 400, "request-not-well-formed"},
        RefusalCase{"XML but no export request", [](auto& r) { r.body() = "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"/>"; },
                    400, "request-not-valid"},
        RefusalCase{"no CIMExportMethod", [](auto& r) { r.erase("CIMExportMethod"); }, 400, "header-mismatch"},
        RefusalCase{"CIMExportMethod of another method", [](auto& r) { r.set("CIMExportMethod", "ExportAlert"); }, 400,
                    "header-mismatch"},
        RefusalCase{"body over the limit", [](auto& r) { r.body() = std::string(64 * 1024 + 1, ' '); }, 413, ""}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(CIMListenerTest, MethodCaseOfTheHeaderDoesNotMatter)
{
    auto request = exportRequest(indicationBody("1"));
    request.set("CIMExportMethod", "exportindication");
    request.set("CIMExport", "methodrequest");
    EXPECT_EQ(post(std::move(request)).result_int(), 200);
    EXPECT_EQ(m_consumer.deliveries().size(), 1u);
}

// Answers that are CIM errors inside a 200, as DSP0200 wants for a well-formed request the
// listener cannot carry out.
CIMExportResponse errorAnswer(HttpClientConnection& sender, HttpClientConnection::Request request)
{
    const auto reply = sender.exchange(request);
    EXPECT_EQ(reply.result_int(), 200);
    EXPECT_EQ(reply["CIMExport"], "MethodResponse");
    return decodeExportResponse(reply.body());
}

TEST_F(CIMListenerTest, UnknownExportMethodAndMissingIndicationAreCIMErrors)
{
    CIMExportRequest alert = CIMExportRequest::indication("m1", creationIndication("v1"));
    alert.methodName = CIMName("ExportAlert");
    auto request = exportRequest(encodeExportRequest(alert));
    request.set("CIMExportMethod", "ExportAlert");
    CIMExportResponse response = errorAnswer(m_sender, std::move(request));
    EXPECT_EQ(response.messageId, "m1");
    ASSERT_TRUE(response.error.has_value());
    EXPECT_EQ(response.error->code, CIMStatusCode::NotSupported);

    CIMExportRequest empty;
    empty.messageId = "m2";
    response = errorAnswer(m_sender, exportRequest(encodeExportRequest(empty)));
    EXPECT_EQ(response.messageId, "m2");
    ASSERT_TRUE(response.error.has_value());
    EXPECT_EQ(response.error->code, CIMStatusCode::InvalidParameter);
    EXPECT_TRUE(m_consumer.deliveries().empty());
}

TEST_F(CIMListenerTest, FailingConsumerIsReportedButDoesNotStarveTheOthers)
{
    RecordingConsumer healthy;
    m_listener.addConsumer(&healthy);
    m_consumer.failWith(std::make_exception_ptr(CIMException(CIMStatusCode::AccessDenied, "not from you")));
    const CIMExportResponse response = errorAnswer(m_sender, exportRequest(indicationBody("m3")));
    ASSERT_TRUE(response.error.has_value());
    EXPECT_EQ(response.error->code, CIMStatusCode::AccessDenied);
    EXPECT_EQ(response.error->description, "not from you");
    EXPECT_EQ(healthy.deliveries().size(), 1u);
    m_listener.removeConsumer(&healthy);
}

// What a mature CIM server puts on the wire: lower-case and upper-case header names, a
// zero-padded length, "TE: chunked, trailers", and no keep-alive.
TEST_F(CIMListenerTest, RealSenderQuirksAreAccepted)
{
    const std::string body = indicationBody("1001");
    char length[16];
    std::snprintf(length, sizeof length, "%010zu", body.size());
    const std::string wire = "POST /CIMListener/array1 HTTP/1.1\r\nHOST: 127.0.0.1\r\n"
                             "content-type: application/xml; charset=\"utf-8\"\r\ncontent-length: "
                             + std::string(length) + "\r\nTE: chunked, trailers\r\ncimexport: MethodRequest\r\n"
                             "CIMEXPORTMETHOD: ExportIndication\r\nCIMProtocolVersion: 1.0\r\nConnection: close\r\n\r\n" + body;
    boost::asio::io_context ioc;
    boost::asio::ip::tcp::socket socket(ioc);
    socket.connect({boost::asio::ip::make_address("127.0.0.1"), m_listener.getPortNumber()});
    boost::asio::write(socket, boost::asio::buffer(wire));
    std::string reply;
    boost::system::error_code ec;
    boost::asio::read(socket, boost::asio::dynamic_buffer(reply), ec);
    EXPECT_EQ(reply.substr(0, 15), "HTTP/1.1 200 OK");
    EXPECT_NE(reply.find("MESSAGE ID=\"1001\""), std::string::npos);
    EXPECT_EQ(m_consumer.deliveries().size(), 1u);
}

TEST(CIMListener, ManyConcurrentSendersAllGetThrough)
{
    CIMListener listener(CIMListenerOptions{.address = "127.0.0.1", .maxConnections = 8});
    listener.allowSender(boost::asio::ip::make_address("127.0.0.1"));
    RecordingConsumer consumer;
    listener.addConsumer(&consumer);
    listener.start();
    constexpr int kSenders = 6;
    constexpr int kEach = 40;
    std::vector<std::thread> senders;
    std::atomic<int> acknowledged{0};
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([&, s] {
            HttpClientConnection sender;
            sender.connect("127.0.0.1", listener.getPortNumber());
            for (int i = 0; i < kEach; ++i) {
                auto request = exportRequest(indicationBody(std::to_string(s) + "-" + std::to_string(i)));
                // Half the senders open a connection per indication, as some servers do.
                if (s % 2 == 0)
                    request.keep_alive(false);
                if (sender.exchange(request).result_int() == 200)
                    ++acknowledged;
            }
        });
    }
    for (auto& sender : senders)
        sender.join();
    EXPECT_EQ(acknowledged.load(), kSenders * kEach);
    std::set<std::string> ids;
    for (const auto& delivery : consumer.deliveries())
        ids.insert(delivery.messageId);
    EXPECT_EQ(ids.size(), static_cast<std::size_t>(kSenders * kEach));
    listener.stop();
}

TEST(CIMListener, SendersBeyondTheConnectionLimitAreServedInPlaceOfIdleOnes)
{
    CIMListener listener(CIMListenerOptions{.address = "127.0.0.1", .maxConnections = 2});
    listener.allowSender(boost::asio::ip::make_address("127.0.0.1"));
    RecordingConsumer consumer;
    listener.addConsumer(&consumer);
    listener.start();
    boost::asio::io_context ioc;
    std::vector<boost::asio::ip::tcp::socket> idle;
    for (int i = 0; i < 2; ++i) {
        idle.emplace_back(ioc);
        idle.back().connect({boost::asio::ip::make_address("127.0.0.1"), listener.getPortNumber()});
    }
    HttpClientConnection third;
    third.connect("127.0.0.1", listener.getPortNumber());
    auto request = exportRequest(indicationBody("third"));
    EXPECT_EQ(third.exchange(request).result_int(), 200);
    EXPECT_EQ(listener.indicationsDelivered(), 1u);
    // The connection that waited longest was closed for it.
    char byte = 0;
    boost::system::error_code ec;
    idle.front().read_some(boost::asio::buffer(&byte, 1), ec);
    EXPECT_TRUE(ec == boost::asio::error::eof || ec == boost::asio::error::connection_reset) << ec.message();
}

TEST(CIMListener, PortZeroPicksAFreePortAndStopEndsDelivery)
{
    CIMListener listener(0);
    EXPECT_EQ(listener.getPortNumber(), 0);
    EXPECT_FALSE(listener.isActive());
    listener.start();
    EXPECT_TRUE(listener.isActive());
    const auto port = listener.getPortNumber();
    EXPECT_NE(port, 0);
    listener.stop();
    EXPECT_FALSE(listener.isActive());
    HttpClientConnection sender;
    EXPECT_ANY_THROW(sender.connect("127.0.0.1", port));
}

// ---- who may send, and how much ---------------------------------------------------------

// One export request over a connection of its own that leaves from `from`; the reply's
// status, 0 when the listener closed the connection without one.
unsigned postFrom(const char* from, const char* listener, std::uint16_t port, const std::string& body)
{
    boost::asio::io_context ioc;
    boost::asio::ip::tcp::socket socket(ioc);
    socket.open(boost::asio::ip::tcp::v4());
    socket.bind({boost::asio::ip::make_address(from), 0});
    socket.connect({boost::asio::ip::make_address(listener), port});
    auto request = exportRequest(body);
    request.set(http::field::host, listener);
    request.prepare_payload();
    boost::system::error_code ec;
    http::write(socket, request, ec);
    boost::beast::flat_buffer buffer;
    http::response<http::string_body> reply;
    http::read(socket, buffer, reply, ec);
    return ec ? 0 : reply.result_int();
}

TEST(CIMListenerSenders, OnlyAllowedAddressesAreHeardAndRefusalsAreCounted)
{
    constexpr const char* kListener = "127.92.1.1";
    CIMListener listener(CIMListenerOptions{.address = kListener});
    RecordingConsumer consumer;
    listener.addConsumer(&consumer);
    listener.start();
    const auto array = boost::asio::ip::make_address("127.92.1.2");
    listener.allowSender(array);
    listener.allowSender(array);

    EXPECT_EQ(postFrom("127.92.1.3", kListener, listener.getPortNumber(), indicationBody("stranger")), 403u);
    EXPECT_EQ(postFrom("127.92.1.2", kListener, listener.getPortNumber(), indicationBody("array")), 200u);
    listener.forbidSender(array);
    EXPECT_EQ(postFrom("127.92.1.2", kListener, listener.getPortNumber(), indicationBody("still subscribed")), 200u)
        << "allowed twice, forbidden once";
    listener.forbidSender(array);
    EXPECT_EQ(postFrom("127.92.1.2", kListener, listener.getPortNumber(), indicationBody("gone")), 403u);

    EXPECT_EQ(listener.sendersRefused(), 2u);
    ASSERT_EQ(consumer.deliveries().size(), 2u);
    EXPECT_EQ(consumer.deliveries()[0].messageId, "array");
}

TEST(CIMListenerSenders, AnIPv4SenderIsRecognisedOnAListenerForBothFamilies)
{
    CIMListener listener(CIMListenerOptions{.address = "::"});
    listener.allowSender(boost::asio::ip::make_address("127.92.1.4"));
    listener.start();
    EXPECT_EQ(postFrom("127.92.1.4", "127.92.1.5", listener.getPortNumber(), indicationBody("mapped")), 200u);
    EXPECT_EQ(postFrom("127.92.1.6", "127.92.1.5", listener.getPortNumber(), indicationBody("mapped")), 403u);
}

TEST(CIMListenerSenders, ABodyFarLargerThanAnIndicationIsRefused)
{
    constexpr const char* kListener = "127.92.1.7";
    CIMListener listener(CIMListenerOptions{.address = kListener});
    listener.allowSender(boost::asio::ip::make_address("127.92.1.8"));
    listener.start();
    boost::asio::io_context ioc;
    boost::asio::ip::tcp::socket socket(ioc);
    socket.open(boost::asio::ip::tcp::v4());
    socket.bind({boost::asio::ip::make_address("127.92.1.8"), 0});
    socket.connect({boost::asio::ip::make_address(kListener), listener.getPortNumber()});
    // Only the head: the answer must come without the body.
    boost::asio::write(socket, boost::asio::buffer(std::string("POST /CIMListener/a HTTP/1.1\r\nHost: h\r\n"
                                                               "CIMExport: MethodRequest\r\nCIMExportMethod: ExportIndication\r\n"
                                                               "Content-Length: 8388608\r\n\r\n")));
    boost::beast::flat_buffer buffer;
    http::response<http::string_body> reply;
    http::read(socket, buffer, reply);
    EXPECT_EQ(reply.result_int(), 413u);
}

TEST(CIMListenerSenders, AnIndicationGetsThroughHundredsOfIdleConnections)
{
    constexpr const char* kListener = "127.92.1.9";
    CIMListener listener(CIMListenerOptions{.address = kListener});
    RecordingConsumer consumer;
    listener.addConsumer(&consumer);
    listener.allowSender(boost::asio::ip::make_address("127.92.1.10"));
    listener.start();
    boost::asio::io_context ioc;
    std::vector<boost::asio::ip::tcp::socket> idle;
    for (int i = 0; i < 500; ++i) {
        idle.emplace_back(ioc);
        idle.back().open(boost::asio::ip::tcp::v4());
        // From several strangers, so that together they reach the listener's bound.
        idle.back().bind({boost::asio::ip::make_address("127.92.1." + std::to_string(11 + i % 4)), 0});
        idle.back().connect({boost::asio::ip::make_address(kListener), listener.getPortNumber()});
    }
    EXPECT_EQ(postFrom("127.92.1.10", kListener, listener.getPortNumber(), indicationBody("through")), 200u);
    ASSERT_EQ(consumer.deliveries().size(), 1u);
}

} // namespace
} // namespace cim
