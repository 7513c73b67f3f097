#include "user_agent/services/Service_ControllerImpl.h"

#include "user_agent/services/ServiceRootPaths.h"
#include "user_agent/services/Service_LAG.h"
#include "user_agent/services/Service_LAGImpl.h"
#include "user_agent/services/Service_PhysicalPort.h"
#include "user_agent/services/Service_PhysicalPortImpl.h"

namespace Merrow::UserAgent {

MerrowReturnValue Service_ControllerImpl::CreateLAG(const std::vector<Service_PhysicalPort>& ports,
                                                    bool vlanEnabled, Service_LAG& lag) {
    ScopedLock lock(*this);
    std::vector<cim::CIMObjectPath> paths;
    MerrowReturnValue result = ServiceRootPaths::Collect("CreateLAG", ports, paths);
    if (result.isFailure())
        return result;
    cim::CIMObjectPath created;
    result = m_Controller.CreateLAG(paths, vlanEnabled, created);
    return result.isFailure() ? result : MakeService(created, lag);
}

} // namespace Merrow::UserAgent
