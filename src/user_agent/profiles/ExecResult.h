#pragma once

#include "user_agent/base/MerrowReturnValue.h"

#include <cstdint>
#include <string>

namespace Merrow::UserAgent {

// How every profile and grouping action judges what an array method answered: 0 is done,
// 4096 is a job the array started (the library never waits for it); any other number is the
// array's refusal, answered as UA_E_REQUEST_FAILED carrying it as failure code.
class ExecResult {
public:
    static constexpr std::uint32_t kJobStarted = 4096;

    static bool Succeeded(std::uint32_t execRtn) { return execRtn == 0 || execRtn == kJobStarted; }
    // UA_S_OK for a success, otherwise the refusal; traces nothing, for callers with traces
    // of their own.
    static MerrowReturnValue ResultOf(std::uint32_t execRtn);
    // As ResultOf; a refusal is traced at "TC.Error.FATAL.PegasusCallFailed" as `failureText`
    // followed by the number.
    static MerrowReturnValue Check(std::uint32_t execRtn, const std::string& failureText);
};

} // namespace Merrow::UserAgent
