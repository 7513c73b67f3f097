#include "user_agent/services/Service_NetworkRoute.h"

#include "user_agent/services/Service_NetworkRouteImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_NetworkRoute
#define MERROW_SERVICE_TABLE "user_agent/services/Service_NetworkRoute.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
