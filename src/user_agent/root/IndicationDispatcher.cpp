#include "user_agent/root/IndicationDispatcher.h"

#include "trace/Trace.h"
#include "user_agent/root/MerrowUserAgentImpl.h"
#include "user_agent/indications/UAIndication.h"

#include <cstdint>
#include <exception>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

} // namespace

IndicationDispatcher::IndicationDispatcher(MerrowUserAgentImpl& root,
                                           std::chrono::milliseconds waitLimit)
    : m_root(&root), m_waitLimit(waitLimit) {}

void IndicationDispatcher::operator()() {
    const auto waitLimitMs = static_cast<std::uint32_t>(m_waitLimit.count());
    while (!m_root->IsStopped()) {
        UAIndication indication;
        if (!m_root->PopIndication(indication, waitLimitMs))
            continue;
        try {
            m_root->dispatchIndication(indication);
        } catch (const std::exception& e) {
            MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
                << "Error - Unexpected exception on indication dispatcher thread: " << e.what()
                << MWENDREC;
        } catch (...) {
            MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
                << "Error - Unexpected exception on indication dispatcher thread" << MWENDREC;
        }
    }
}

} // namespace Merrow::UserAgent
