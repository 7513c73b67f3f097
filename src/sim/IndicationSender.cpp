#include "sim/IndicationSender.h"

#include "cim/xml/CIMExportRequest.h"
#include "cim/http/CIMHttpHeaders.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/http/HttpClientConnection.h"

#include "trace/Trace.h"

#include <boost/beast/http/field.hpp>
#include <boost/beast/http/verb.hpp>

namespace Merrow::Sim {

namespace http = boost::beast::http;

namespace {

// Beast of Boost 1.74 takes its own string_view.
boost::beast::string_view beastView(std::string_view text)
{
    return {text.data(), text.size()};
}

} // namespace

IndicationSender::IndicationSender(Options options) : m_options(options) {}

IndicationSender::~IndicationSender()
{
    stop();
}

void IndicationSender::start()
{
    std::lock_guard lock(m_mutex);
    if (m_thread.joinable())
        return;
    m_stopping = false;
    m_thread = std::thread([this] { run(); });
}

void IndicationSender::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_dropped += m_queue.size();
        m_queue.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    m_connections.clear();
}

void IndicationSender::post(IndicationDelivery delivery)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping || m_queue.size() >= m_options.capacity) {
            ++m_dropped;
            return;
        }
        m_queue.push_back(std::move(delivery));
    }
    m_wake.notify_one();
}

bool IndicationSender::waitIdle(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, limit, [&] { return m_queue.empty() && !m_busy; });
}

void IndicationSender::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
        if (m_stopping)
            break;
        IndicationDelivery delivery = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        const bool sent = send(delivery);
        (sent ? m_delivered : m_dropped)++;
        lock.lock();
        m_busy = false;
        if (m_queue.empty())
            m_idle.notify_all();
    }
    m_busy = false;
    m_idle.notify_all();
}

bool IndicationSender::send(const IndicationDelivery& delivery)
{
    const auto now = std::chrono::steady_clock::now();
    auto down = m_unreachableUntil.find(delivery.destination);
    if (down != m_unreachableUntil.end()) {
        if (now < down->second)
            return false;
        m_unreachableUntil.erase(down);
    }
    auto& connection = m_connections[delivery.destination];
    try {
        if (!connection) {
            connection = std::make_unique<cim::HttpClientConnection>();
            connection->setTimeout(m_options.timeout);
            connection->setSourceAddress(m_options.sourceAddress);
            connection->connect(delivery.host, delivery.port);
        }
        const std::string body = cim::encodeExportRequest(
            cim::CIMExportRequest::indication(std::to_string(m_nextMessageId++), *delivery.indication));
        cim::HttpClientConnection::Request request{http::verb::post, delivery.target, 11};
        request.set(http::field::host, delivery.host + ":" + std::to_string(delivery.port));
        request.set(http::field::content_type, beastView(cim::CIMHttpHeaders::kContentType));
        request.set(beastView(cim::CIMHttpHeaders::kCIMExport), beastView(cim::CIMHttpHeaders::kMethodRequest));
        request.set(beastView(cim::CIMHttpHeaders::kCIMExportMethod), "ExportIndication");
        request.set(beastView(cim::CIMHttpHeaders::kCIMProtocolVersion), beastView(cim::CIMHttpHeaders::kProtocolVersion));
        request.body() = body;
        const auto response = connection->exchange(request);
        if (response.result() == http::status::ok)
            return true;
        // The listener is there and refused this one indication (a listener that does not
        // expect us yet answers 403): later indications still go to it.
        MWTRACE(3, "TC.Sim.Indications") << delivery.destination << " answered HTTP " << response.result_int()
                                         << MWENDREC;
        connection.reset();
        return false;
    } catch (const std::exception& e) {
        MWTRACE(3, "TC.Sim.Indications") << "cannot deliver to " << delivery.destination << ": " << e.what()
                                         << MWENDREC;
    }
    connection.reset();
    m_unreachableUntil[delivery.destination] = std::chrono::steady_clock::now() + m_options.unreachableFor;
    return false;
}

} // namespace Merrow::Sim
