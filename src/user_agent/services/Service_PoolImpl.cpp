#include "user_agent/services/Service_PoolImpl.h"

#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Pool
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Pool.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
