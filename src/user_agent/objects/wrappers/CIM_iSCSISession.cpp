#include "user_agent/objects/wrappers/CIM_iSCSISession.h"

namespace Merrow::UserAgent {

MerrowReturnValue CIM_iSCSISession::Get_EndPointName(std::string& value) {
    return GetTypedProperty("EndPointName", value);
}

} // namespace Merrow::UserAgent
