#include "user_agent/services/Service_ControllerImpl.h"

#include "user_agent/services/Service_LAG.h"
#include "user_agent/services/Service_LAGImpl.h"
#include "user_agent/services/Service_PhysicalPort.h"
#include "user_agent/services/Service_PhysicalPortImpl.h"

namespace Merrow::UserAgent {

MerrowReturnValue Service_ControllerImpl::CreateLAG(const std::vector<Service_PhysicalPort>& ports,
                                                    bool vlanEnabled, Service_LAG& lag) {
    ScopedLock lock(*this);
    std::vector<cim::CIMObjectPath> paths;
    for (const Service_PhysicalPort& port : ports) {
        if (!port.IsValid())
            return MerrowReturnValue(MerrowReturnValue::UA_E_INVALIDARG,
                                     "CreateLAG() given a port handle without a port");
        paths.push_back(port.GetServiceImpl()->GetRootPath());
    }
    cim::CIMObjectPath created;
    const MerrowReturnValue result = m_Controller.CreateLAG(paths, vlanEnabled, created);
    return result.isFailure() ? result : MakeService(created, lag);
}

} // namespace Merrow::UserAgent
