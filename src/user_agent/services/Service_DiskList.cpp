#include "user_agent/services/Service_DiskList.h"

#include "user_agent/services/Service_DiskListImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_DiskList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_DiskList.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
