#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_SystemPolicy
#define MERROW_SERVICE_TABLE "user_agent/services/Service_SystemPolicy.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The array's battery and fail-over policies and its battery's state.
// Operations are listed in Service_SystemPolicy.def.
class Service_SystemPolicy : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
