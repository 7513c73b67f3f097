#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Pool
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Pool.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One storage pool: its kind, sizes and disks.
// Operations are listed in Service_Pool.def.
class Service_Pool : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
