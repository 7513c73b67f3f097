#pragma once

#include "user_agent/objects/wrappers/CIM_EnabledLogicalElement.h"
#include "user_agent/objects/wrappers/CIM_WrapperConstructors.h"

#include <cstdint>

namespace Merrow::UserAgent {

// The CIM class "CIM_Log": a log of the array's, which can be emptied. Exec methods answer
// the method's return value (0 done, anything else the array's failure code).
class CIM_Log : public CIM_EnabledLogicalElement {
public:
    ORV_CIM_WRAPPER_CONSTRUCTORS(CIM_Log, CIM_EnabledLogicalElement)

    std::uint32_t ExecClearLog();
};

} // namespace Merrow::UserAgent
