#include "user_agent/services/Service_iSCSITargetImpl.h"

#include "user_agent/services/ServiceRootPaths.h"
#include "user_agent/services/Service_Initiator.h"
#include "user_agent/services/Service_InitiatorImpl.h"

namespace Merrow::UserAgent {

namespace {

// The initiator's path; UA_E_INVALIDARG for a handle without a service behind it.
MerrowReturnValue InitiatorPath(const char* operation, const Service_Initiator& initiator,
                                cim::CIMObjectPath& path) {
    std::vector<cim::CIMObjectPath> paths;
    const MerrowReturnValue result = ServiceRootPaths::Collect(operation, std::vector{initiator}, paths);
    if (!result.isFailure())
        path = paths.front();
    return result;
}

} // namespace

MerrowReturnValue Service_iSCSITargetImpl::GrantInitiatorAccess(const Service_Initiator& initiator) {
    ScopedLock lock(*this);
    cim::CIMObjectPath path;
    const MerrowReturnValue result = InitiatorPath("GrantInitiatorAccess", initiator, path);
    return result.isFailure() ? result : m_iSCSITarget.GrantInitiatorAccess(path);
}

MerrowReturnValue Service_iSCSITargetImpl::RevokeInitiatorAccess(const Service_Initiator& initiator) {
    ScopedLock lock(*this);
    cim::CIMObjectPath path;
    const MerrowReturnValue result = InitiatorPath("RevokeInitiatorAccess", initiator, path);
    return result.isFailure() ? result : m_iSCSITarget.RevokeInitiatorAccess(path);
}

} // namespace Merrow::UserAgent
