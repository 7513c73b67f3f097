#include "user_agent/services/Service_NetworkRouteList.h"

#include "user_agent/services/Service_NetworkRouteListImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_NetworkRouteList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_NetworkRouteList.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
