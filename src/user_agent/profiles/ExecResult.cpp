#include "user_agent/profiles/ExecResult.h"

#include "trace/Trace.h"

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

MerrowReturnValue ExecResult::Check(std::uint32_t execRtn, const std::string& failureText) {
    if (Succeeded(execRtn))
        return MerrowReturnValue();
    MWTRACE(TV_SEVERE, TC_ERROR_PEGASUS_CALL_FAILED) << failureText << execRtn << MWENDREC;
    return MerrowReturnValue::fromArrayResult(static_cast<std::int32_t>(execRtn));
}

} // namespace Merrow::UserAgent
