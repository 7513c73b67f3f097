#pragma once

#include "user_agent/groupings/FunctionalGrouping_NetworkRoute.h"
#include "user_agent/groupings/FunctionalGrouping_AssociatedNetworkRoutes.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_NetworkRoute
#define MERROW_SERVICE_TABLE "user_agent/services/Service_NetworkRoute.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_NetworkRoute handles; profiles and operations are listed in
// Service_NetworkRoute.def.
class Service_NetworkRouteImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
