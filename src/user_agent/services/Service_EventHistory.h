#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_EventHistory
#define MERROW_SERVICE_TABLE "user_agent/services/Service_EventHistory.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The array's event history, oldest event first.
// Operations are listed in Service_EventHistory.def.
class Service_EventHistory : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
