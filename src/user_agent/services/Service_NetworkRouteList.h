#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_NetworkRouteList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_NetworkRouteList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// Every network route of the array.
// Operations are listed in Service_NetworkRouteList.def.
class Service_NetworkRouteList : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
