#include "user_agent/services/Service_DiskImpl.h"

#include "user_agent/services/Service_Pool.h"
#include "user_agent/services/Service_PoolImpl.h"
#include "user_agent/services/Service_Extent.h"
#include "user_agent/services/Service_ExtentImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Disk
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Disk.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
