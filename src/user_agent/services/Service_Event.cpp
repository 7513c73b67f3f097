#include "user_agent/services/Service_Event.h"

#include "user_agent/services/Service_EventImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Event
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Event.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
