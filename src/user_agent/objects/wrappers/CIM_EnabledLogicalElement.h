#pragma once

#include "cim/value/CIMDateTime.h"
#include "user_agent/objects/wrappers/CIM_LogicalElement.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>

namespace Merrow::UserAgent {

// The CIM class "CIM_EnabledLogicalElement". A logical element that can be enabled and disabled
// (ports). Exec methods answer the method's return value (0 done, 4096 job started, anything else
// the array's failure code); empty references and empty reference arrays are not sent.
class CIM_EnabledLogicalElement : public CIM_LogicalElement {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(CIM_EnabledLogicalElement, CIM_LogicalElement)

    std::uint32_t ExecRequestStateChange(std::uint16_t requestedState,
                                         const cim::CIMDateTime& timeoutPeriod,
                                         cim::CIMObjectPath& job);
};

} // namespace Merrow::UserAgent
