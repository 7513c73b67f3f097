#include "user_agent/services/Service_Pool.h"

#include "user_agent/services/Service_PoolImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Pool
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Pool.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
