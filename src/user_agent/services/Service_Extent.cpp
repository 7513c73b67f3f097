#include "user_agent/services/Service_Extent.h"

#include "user_agent/services/Service_ExtentImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Extent
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Extent.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
