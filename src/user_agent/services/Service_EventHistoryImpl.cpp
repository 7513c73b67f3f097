#include "user_agent/services/Service_EventHistoryImpl.h"

#include "user_agent/services/Service_Event.h"
#include "user_agent/services/Service_EventImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_EventHistory
#define MERROW_SERVICE_TABLE "user_agent/services/Service_EventHistory.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
