#include "user_agent/services/Service_NetworkRouteImpl.h"

#include "user_agent/services/Service_NetworkRoute.h"


namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_NetworkRoute
#define MERROW_SERVICE_TABLE "user_agent/services/Service_NetworkRoute.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
