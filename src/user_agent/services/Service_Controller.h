#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Controller
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Controller.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One controller: identity, slots, ports and link aggregates.
// Operations are listed in Service_Controller.def.
class Service_Controller : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
