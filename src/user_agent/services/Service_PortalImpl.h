#pragma once

#include "user_agent/groupings/FunctionalGrouping_Portal.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Portal
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Portal.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_Portal handles; profiles and operations are listed in
// Service_Portal.def.
class Service_PortalImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
