#pragma once

#include "user_agent/groupings/FunctionalGrouping_GlobalStaticNetworkRoutes.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_NetworkRouteList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_NetworkRouteList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_NetworkRouteList handles; profiles and operations are listed in
// Service_NetworkRouteList.def.
class Service_NetworkRouteListImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
