#include "user_agent/services/Service_DiskListImpl.h"

#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_DiskList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_DiskList.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
