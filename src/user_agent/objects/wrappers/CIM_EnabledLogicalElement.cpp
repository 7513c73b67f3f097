#include "user_agent/objects/wrappers/CIM_EnabledLogicalElement.h"

namespace Merrow::UserAgent {

std::uint32_t CIM_EnabledLogicalElement::ExecRequestStateChange(
    std::uint16_t requestedState, const cim::CIMDateTime& timeoutPeriod, cim::CIMObjectPath& job) {
    return InvokeExtrinsic(
        "RequestStateChange",
        {In("RequestedState", requestedState), In("TimeoutPeriod", timeoutPeriod)},
        {Out("Job", job)});
}

} // namespace Merrow::UserAgent
