#include "user_agent/services/Service_NetworkRouteListImpl.h"

#include "user_agent/services/Service_NetworkRoute.h"
#include "user_agent/services/Service_NetworkRouteImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_NetworkRouteList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_NetworkRouteList.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
