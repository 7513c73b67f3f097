#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_LAG
#define MERROW_SERVICE_TABLE "user_agent/services/Service_LAG.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One link aggregate of Ethernet ports with its portals.
// Operations are listed in Service_LAG.def.
class Service_LAG : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
