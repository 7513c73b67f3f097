#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_NetworkRoute
#define MERROW_SERVICE_TABLE "user_agent/services/Service_NetworkRoute.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One network route of the array.
// Operations are listed in Service_NetworkRoute.def.
class Service_NetworkRoute : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
