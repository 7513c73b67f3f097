#include "user_agent/services/Service_PoolListImpl.h"

#include "user_agent/services/Service_Pool.h"
#include "user_agent/services/Service_PoolImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_PoolList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_PoolList.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
