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

namespace {

// The dispatcher thread must outlive whatever one indication does.
template <typename Work> void guarded(const char* what, Work&& work) {
    try {
        work();
    } catch (const std::exception& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << "Error - Unexpected exception on indication dispatcher thread " << what << ": "
            << e.what() << MWENDREC;
    } catch (...) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << "Error - Unexpected exception on indication dispatcher thread " << what << MWENDREC;
    }
}

} // namespace

void IndicationDispatcher::operator()() {
    const auto waitLimitMs = static_cast<std::uint32_t>(m_waitLimit.count());
    while (!m_root->IsStopped()) {
        UAIndication indication;
        if (m_root->PopIndication(indication, waitLimitMs))
            guarded("dispatching", [&] { m_root->dispatchIndication(indication); });
        guarded("re-reading arrays", [&] { m_root->ResynchroniseDueArrays(); });
    }
}

} // namespace Merrow::UserAgent
