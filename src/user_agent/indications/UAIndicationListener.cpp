#include "user_agent/indications/UAIndicationListener.h"

#include "cim/value/CIMException.h"
#include "cim/listener/CIMListener.h"
#include "trace/Trace.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/UAException.h"
#include "user_agent/indications/UAIndication.h"
#include "user_agent/indications/UAIndicationConsumer.h"

#include <boost/asio/ip/address.hpp>

#include <exception>
#include <optional>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

std::optional<boost::asio::ip::address> addressOf(const std::string& text) {
    boost::system::error_code ec;
    const auto address = boost::asio::ip::make_address(text, ec);
    if (ec)
        return std::nullopt;
    return address;
}

void allowOn(cim::CIMListener& listener, const std::string& sender) {
    if (const auto address = addressOf(sender))
        listener.allowSender(*address);
}

} // namespace

UAIndicationListener::UAIndicationListener(UAIndicationConsumer& consumer)
    : m_consumer(consumer), m_reader(*this) {}

UAIndicationListener::~UAIndicationListener() {
    Stop();
}

MerrowReturnValue UAIndicationListener::Start() {
    MWSCOPE("");
    std::lock_guard lock(m_mutex);
    if (m_listener)
        return MerrowReturnValue();
    auto listener = std::make_unique<cim::CIMListener>(std::uint16_t{0});
    try {
        listener->start();
    } catch (const std::exception& e) {
        MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
            << "Indication listener did not start: " << e.what() << MWENDREC;
        return MerrowReturnValue(MerrowReturnValue::UA_E_FAIL, e.what());
    }
    for (const std::string& sender : m_senders)
        allowOn(*listener, sender);
    try {
        listener->addConsumer(&m_reader);
    } catch (...) {
        MWTRACE(TV_WARNING, TC_ERROR_INTERNAL_API_FAILURE)
            << "Error adding consumer, no indications will be received" << MWENDREC;
    }
    MWTRACE(TV_INFO, TC_INFO) << "Indication listener on port " << listener->getPortNumber()
                              << MWENDREC;
    m_listener = std::move(listener);
    return MerrowReturnValue();
}

void UAIndicationListener::Stop() {
    std::unique_ptr<cim::CIMListener> listener;
    {
        std::lock_guard lock(m_mutex);
        listener = std::move(m_listener);
    }
    if (listener)
        listener->stop();
}

void UAIndicationListener::AllowSender(const std::string& address) {
    if (!addressOf(address))
        return;
    std::lock_guard lock(m_mutex);
    m_senders.insert(address);
    if (m_listener)
        allowOn(*m_listener, address);
}

void UAIndicationListener::ForbidSender(const std::string& address) {
    const auto parsed = addressOf(address);
    std::lock_guard lock(m_mutex);
    const auto found = m_senders.find(address);
    if (!parsed || found == m_senders.end())
        return;
    m_senders.erase(found);
    if (m_listener)
        m_listener->forbidSender(*parsed);
}

std::uint64_t UAIndicationListener::GetRefusedSenderCount() const {
    std::lock_guard lock(m_mutex);
    return m_listener ? m_listener->sendersRefused() : 0;
}

std::uint16_t UAIndicationListener::getPortNumber() const {
    std::lock_guard lock(m_mutex);
    return m_listener ? m_listener->getPortNumber() : 0;
}

void UAIndicationListener::IndicationReader::consumeIndication(
    const cim::CIMIndicationContext& /*context*/, const std::string& url,
    const cim::CIMInstance& indication) {
    m_listener.received(url, indication);
}

// Only parsing and queueing happen here: the sender waits for our answer.
void UAIndicationListener::received(const std::string& url, const cim::CIMInstance& indication) {
    // The path after "/CIMListener" is "/" followed by the array host.
    const std::string host = url.empty() ? std::string() : url.substr(1);
    try {
        m_consumer.OnIndicationReceived(UAIndication(host, indication));
    } catch (const UAException& e) {
        reject(url, e.getMessage());
    } catch (const MWExceptionAbstractClass& e) {
        reject(url, e.getMessage());
    }
}

void UAIndicationListener::reject(const std::string& url, const std::string& reason) {
    ++m_rejected;
    MWTRACE(TV_WARNING, TC_ERROR_WARNING)
        << "Indication for /CIMListener" << url << " refused: " << reason << MWENDREC;
    throw cim::CIMException(cim::CIMStatusCode::InvalidParameter, reason);
}

} // namespace Merrow::UserAgent
