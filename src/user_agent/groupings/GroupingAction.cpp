#include "user_agent/groupings/GroupingAction.h"

#include "trace/Trace.h"

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

namespace {

constexpr std::uint32_t kJobStarted = 4096;

} // namespace

bool GroupingAction::Succeeded(std::uint32_t execRtn) {
    return execRtn == 0 || execRtn == kJobStarted;
}

MerrowReturnValue GroupingAction::ResultOf(std::uint32_t execRtn) const {
    if (Succeeded(execRtn))
        return MerrowReturnValue();
    const MerrowReturnValue failure =
        MerrowReturnValue::fromArrayResult(static_cast<std::int32_t>(execRtn));
    TraceFailure(execRtn, failure);
    return failure;
}

void GroupingAction::TraceFailure(std::uint32_t execRtn, const MerrowReturnValue& failure) const {
    switch (m_form) {
    case FailureForm::PegasusCallFailed:
        MWTRACE(TV_SEVERE, TC_ERROR_PEGASUS_CALL_FAILED)
            << "execRtn=" << m_call << " failed. execRtn=" << execRtn << MWENDREC;
        return;
    case FailureForm::Recoverable:
        MWTRACE(TV_SEVERE, TC_ERROR_RECOVERABLE)
            << "execRtn=" << m_call << " FAILED - msg=" << failure.getMessage() << MWENDREC;
        return;
    }
}

} // namespace Merrow::UserAgent
