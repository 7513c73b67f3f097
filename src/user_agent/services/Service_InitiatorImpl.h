#pragma once

#include "user_agent/groupings/FunctionalGrouping_Initiator.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Initiator
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Initiator.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_Initiator handles; profiles and operations are listed in
// Service_Initiator.def.
class Service_InitiatorImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
