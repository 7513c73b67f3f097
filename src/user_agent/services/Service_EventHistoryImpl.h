#pragma once

#include "user_agent/groupings/FunctionalGrouping_EventHistory.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_EventHistory
#define MERROW_SERVICE_TABLE "user_agent/services/Service_EventHistory.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_EventHistory handles; profiles and operations are listed in
// Service_EventHistory.def.
class Service_EventHistoryImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
