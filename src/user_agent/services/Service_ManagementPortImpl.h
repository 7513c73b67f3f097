#pragma once

#include "user_agent/groupings/FunctionalGrouping_ManagementPort.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_ManagementPort
#define MERROW_SERVICE_TABLE "user_agent/services/Service_ManagementPort.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_ManagementPort handles; profiles and operations are listed in
// Service_ManagementPort.def.
class Service_ManagementPortImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
