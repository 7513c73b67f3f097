#include "user_agent/groupings/GroupingAction.h"

#include "trace/Trace.h"
#include "user_agent/profiles/ExecResult.h"

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

MerrowReturnValue GroupingAction::ResultOf(std::uint32_t execRtn) const {
    const MerrowReturnValue result = ExecResult::ResultOf(execRtn);
    if (result.isFailure())
        TraceFailure(execRtn, result);
    return result;
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
