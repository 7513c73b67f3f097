#pragma once

#include "user_agent/objects/wrappers/CIM_NetworkPipe.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>
#include <string>

namespace Merrow::UserAgent {

// The CIM class "CIM_iSCSISession". A live iSCSI session.
class CIM_iSCSISession : public CIM_NetworkPipe {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(CIM_iSCSISession, CIM_NetworkPipe)

    MerrowReturnValue Get_EndPointName(std::string& value);
};

} // namespace Merrow::UserAgent
