#include "user_agent/groupings/FunctionalGrouping_iSCSISession.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_iSCSISession::GetInitiatorGlobalID(std::string& globalId) {
    MWSCOPE_OBJ(this, "");
    std::string endPointName;
    const MerrowReturnValue result = Get_iSCSISession_EndPointName(endPointName);
    if (result.isFailure())
        return result;
    globalId = endPointName.substr(0, endPointName.find(','));
    return result;
}

} // namespace Merrow::UserAgent
