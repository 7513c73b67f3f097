#pragma once

#include "user_agent/groupings/FunctionalGrouping_Pool.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Pool
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Pool.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_Pool handles; profiles and operations are listed in
// Service_Pool.def.
class Service_PoolImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
