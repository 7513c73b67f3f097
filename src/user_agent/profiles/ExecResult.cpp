#include "user_agent/profiles/ExecResult.h"

#include "trace/Trace.h"

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

MerrowReturnValue ExecResult::ResultOf(std::uint32_t execRtn) {
    if (Succeeded(execRtn))
        return MerrowReturnValue();
    return MerrowReturnValue::fromArrayResult(static_cast<std::int32_t>(execRtn));
}

MerrowReturnValue ExecResult::Check(std::uint32_t execRtn, const std::string& failureText) {
    if (!Succeeded(execRtn))
        MWTRACE(TV_SEVERE, TC_ERROR_PEGASUS_CALL_FAILED) << failureText << execRtn << MWENDREC;
    return ResultOf(execRtn);
}

} // namespace Merrow::UserAgent
