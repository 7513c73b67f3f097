#pragma once

#include "user_agent/base/DateTime.h"
#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Event
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Event.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One event the array recorded.
// Operations are listed in Service_Event.def.
class Service_Event : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
