#include "user_agent/services/Service_EventHistory.h"

#include "user_agent/services/Service_EventHistoryImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_EventHistory
#define MERROW_SERVICE_TABLE "user_agent/services/Service_EventHistory.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
