#include "user_agent/services/Service_PhysicalPortImpl.h"

#include "user_agent/services/Service_LAG.h"
#include "user_agent/services/Service_LAGImpl.h"

#include "trace/SourceLocation.h"

namespace Merrow::UserAgent {

MerrowReturnValue Service_PhysicalPortImpl::GetStatus(std::int32_t& status) {
    // Handles reach this without the facade boundary, and it reads the array.
    return RunFacadeOperation(
        "Merrow::UserAgent::Service_PhysicalPort::GetStatus",
        [&] {
            ScopedLock lock(*this);
            std::vector<std::uint16_t> cimStatus;
            const MerrowReturnValue result = m_EthernetPort.Get_EthernetPort_OperationalStatus(cimStatus);
            if (!result.isFailure())
                status = StatusFromOperationalStatus(cimStatus);
            return result;
        },
        Merrow::Trace::SourceLocation::current());
}

MerrowReturnValue Service_PhysicalPortImpl::SetLAG(const Service_LAG& lag) {
    ScopedLock lock(*this);
    if (!lag.IsValid())
        return MerrowReturnValue(MerrowReturnValue::UA_E_INVALIDARG,
                                 "SetLAG() given a link aggregate handle without one");
    return m_EthernetPort.SetLAG(lag.GetServiceImpl()->GetRootPath());
}

} // namespace Merrow::UserAgent
