#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_PhysicalPort
#define MERROW_SERVICE_TABLE "user_agent/services/Service_PhysicalPort.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

class Service_LAG;

// One Ethernet port of a controller.
// Operations are listed in Service_PhysicalPort.def.
class Service_PhysicalPort : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
