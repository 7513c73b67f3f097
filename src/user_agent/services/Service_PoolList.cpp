#include "user_agent/services/Service_PoolList.h"

#include "user_agent/services/Service_PoolListImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_PoolList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_PoolList.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
