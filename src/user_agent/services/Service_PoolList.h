#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_PoolList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_PoolList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// Every storage pool of the array.
// Operations are listed in Service_PoolList.def.
class Service_PoolList : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
