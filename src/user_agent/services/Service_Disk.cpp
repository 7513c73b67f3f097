#include "user_agent/services/Service_Disk.h"

#include "user_agent/services/Service_DiskImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Disk
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Disk.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
