#pragma once

#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/UALockableObject.h"

#include <cstdint>
#include <string>
#include <utility>

namespace Merrow::UserAgent {

// The one form every grouping action takes: an Exec method of one of the grouping's members,
// run under the grouping's lock, whose array result becomes the action's return value by the
// rule of ExecResult; a refusal is traced in one of the two forms below.
// Exceptions of the Exec method (CIM errors, a lost connection) go on to the service layer.
class GroupingAction {
public:
    enum class FailureForm {
        // "execRtn=<call> failed. execRtn=<number>" at "TC.Error.FATAL.PegasusCallFailed".
        PegasusCallFailed,
        // "execRtn=<call> FAILED - msg=<array failure text>" at "TC.Error.Non-fatal.Recoverable".
        Recoverable,
    };

    // `call` is the member and method as traces name them, for example
    // "m_Merrow_NetworkConfigurationService.ExecDeleteLinkAggregator()".
    GroupingAction(const UALockableObject& grouping, std::string call,
                   FailureForm form = FailureForm::Recoverable)
        : m_grouping(grouping), m_call(std::move(call)), m_form(form) {}

    // `exec` answers the Exec method's return value.
    template <typename Exec>
    MerrowReturnValue Run(Exec&& exec) const {
        UALockableObject::ScopedLock lock(m_grouping);
        return ResultOf(exec());
    }

    MerrowReturnValue ResultOf(std::uint32_t execRtn) const;

private:
    void TraceFailure(std::uint32_t execRtn, const MerrowReturnValue& failure) const;

    const UALockableObject& m_grouping;
    std::string m_call;
    FailureForm m_form;
};

} // namespace Merrow::UserAgent
