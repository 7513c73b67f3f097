#include "user_agent/groupings/FunctionalGrouping_iSCSITarget.h"

#include "cim/value/CIMException.h"
#include "trace/Trace.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"
#include "user_agent/objects/wrappers/CIM_StorageHardwareID.h"
#include "user_agent/profiles/ExecResult.h"

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

namespace {

constexpr std::uint16_t kNoAuthentication = 3;

} // namespace

MerrowReturnValue FunctionalGrouping_iSCSITarget::GrantInitiatorAccess(
    const cim::CIMObjectPath& initiatorPath) {
    MWSCOPE_OBJ(this, initiatorPath.toString().c_str());
    ScopedLock lock(*this);
    std::vector<cim::CIMObjectPath> controllers{GetRootObjectPath()};
    cim::CIMObjectPath job;
    const std::uint32_t execRtn = m_CIM_ControllerConfigurationService.ExecExposePaths(
        {}, {InitiatorNameOf(initiatorPath)}, {}, {}, {}, controllers, job);
    return AccessResult("ExecExposePaths", initiatorPath, execRtn, controllers);
}

MerrowReturnValue FunctionalGrouping_iSCSITarget::RevokeInitiatorAccess(
    const cim::CIMObjectPath& initiatorPath) {
    MWSCOPE_OBJ(this, initiatorPath.toString().c_str());
    ScopedLock lock(*this);
    std::vector<cim::CIMObjectPath> controllers{GetRootObjectPath()};
    cim::CIMObjectPath job;
    const std::uint32_t execRtn = m_CIM_ControllerConfigurationService.ExecHidePaths(
        {}, {InitiatorNameOf(initiatorPath)}, {}, controllers, job);
    return AccessResult("ExecHidePaths", initiatorPath, execRtn, controllers);
}

MerrowReturnValue FunctionalGrouping_iSCSITarget::IsChapRequired(bool& chapRequired) {
    MWSCOPE_OBJ(this, "");
    std::uint16_t primary = 0;
    MerrowReturnValue result = Get_ConnectionSettings_PrimaryAuthenticationMethod(primary);
    if (result.isFailure())
        return result;
    std::uint16_t secondary = 0;
    result = Get_ConnectionSettings_SecondaryAuthenticationMethod(secondary);
    if (result.isFailure())
        return result;
    chapRequired = primary != kNoAuthentication && secondary != kNoAuthentication;
    return result;
}

std::string FunctionalGrouping_iSCSITarget::InitiatorNameOf(const cim::CIMObjectPath& initiatorPath) {
    CIM_StorageHardwareID initiator(this, initiatorPath, {});
    initiator.SetConnection(GetConnection());
    try {
        initiator.FetchData(true);
    } catch (const cim::CIMException& e) {
        if (e.getCode() != cim::CIMStatusCode::NotFound)
            throw;
    }
    std::string storageId;
    if (initiator.IsDataValid())
        initiator.GetPropertyValue("StorageID", storageId);
    return storageId;
}

MerrowReturnValue FunctionalGrouping_iSCSITarget::AccessResult(
    const char* method, const cim::CIMObjectPath& initiatorPath, std::uint32_t execRtn,
    const std::vector<cim::CIMObjectPath>& controllers) {
    if (!ExecResult::Succeeded(execRtn)) {
        MWTRACE(TV_SEVERE, TC_ERROR_PEGASUS_CALL_FAILED)
            << "execRtn = " << method << "() for initiatorObjectPath=" << initiatorPath.toString()
            << " FAILED with execRtn=" << execRtn << MWENDREC;
        MerrowReturnValue refused(MerrowReturnValue::UA_S_FALSE);
        refused.setFailureCode(static_cast<std::int32_t>(execRtn));
        return refused;
    }
    // The access lists hang below the controllers; they are read again on next use.
    for (const cim::CIMObjectPath& controller : controllers)
        CIM_ObjectContainerInterface::InvalidateCacheForClassname(controller.getClassName());
    return MerrowReturnValue();
}

} // namespace Merrow::UserAgent
