#pragma once

#include "user_agent/groupings/FunctionalGrouping_SystemPolicy.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_SystemPolicy
#define MERROW_SERVICE_TABLE "user_agent/services/Service_SystemPolicy.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_SystemPolicy handles; profiles and operations are listed in
// Service_SystemPolicy.def.
class Service_SystemPolicyImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
