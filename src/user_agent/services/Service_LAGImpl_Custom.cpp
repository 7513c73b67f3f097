#include "user_agent/services/Service_LAGImpl.h"

#include "user_agent/services/Service_Portal.h"
#include "user_agent/services/Service_PortalImpl.h"

#include "trace/SourceLocation.h"

namespace Merrow::UserAgent {

MerrowReturnValue Service_LAGImpl::GetStatus(std::int32_t& status) {
    // Handles reach this without the facade boundary, and it reads the array.
    return RunFacadeOperation(
        "Merrow::UserAgent::Service_LAG::GetStatus",
        [&] {
            ScopedLock lock(*this);
            std::vector<std::uint16_t> cimStatus;
            const MerrowReturnValue result = m_LAG.Get_DataLinkEndpoint_OperationalStatus(cimStatus);
            if (!result.isFailure())
                status = StatusFromOperationalStatus(cimStatus);
            return result;
        },
        Merrow::Trace::SourceLocation::current());
}

MerrowReturnValue Service_LAGImpl::CreatePortal(const std::string& ipv4Address,
                                              const std::string& subnetMask,
                                              const std::string& defaultGateway,
                                              std::uint16_t vlanId, Service_Portal& portal) {
    ScopedLock lock(*this);
    cim::CIMObjectPath created;
    const MerrowReturnValue result =
        m_LAG.CreatePortal(ipv4Address, subnetMask, defaultGateway, vlanId, created);
    return result.isFailure() ? result : MakeService(created, portal);
}

} // namespace Merrow::UserAgent
