#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_ManagementPort
#define MERROW_SERVICE_TABLE "user_agent/services/Service_ManagementPort.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The array's out-of-band management port.
// Operations are listed in Service_ManagementPort.def.
class Service_ManagementPort : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
