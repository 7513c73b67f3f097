#include "user_agent/services/Service_ExtentImpl.h"

#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskImpl.h"
#include "user_agent/services/Service_Volume.h"
#include "user_agent/services/Service_VolumeImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Extent
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Extent.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
