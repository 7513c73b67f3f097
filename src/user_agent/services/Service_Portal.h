#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Portal
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Portal.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One iSCSI portal: address and TCP port on a link aggregate.
// Operations are listed in Service_Portal.def.
class Service_Portal : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
