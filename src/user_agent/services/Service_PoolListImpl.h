#pragma once

#include "user_agent/groupings/FunctionalGrouping_PoolList.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_PoolList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_PoolList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_PoolList handles; profiles and operations are listed in
// Service_PoolList.def.
class Service_PoolListImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
