#include "user_agent/services/Service_Portal.h"

#include "user_agent/services/Service_PortalImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Portal
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Portal.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
