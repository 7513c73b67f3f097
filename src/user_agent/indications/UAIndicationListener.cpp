#include "user_agent/indications/UAIndicationListener.h"

#include "cim/value/CIMException.h"
#include "cim/listener/CIMListener.h"
#include "trace/Trace.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/UAException.h"
#include "user_agent/indications/UAIndication.h"
#include "user_agent/indications/UAIndicationConsumer.h"

#include <exception>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

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
