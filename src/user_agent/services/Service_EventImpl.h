#pragma once

#include "user_agent/groupings/FunctionalGrouping_Event.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Event
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Event.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_Event handles; profiles and operations are listed in
// Service_Event.def.
class Service_EventImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
