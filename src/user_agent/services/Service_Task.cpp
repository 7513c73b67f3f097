#include "user_agent/services/Service_Task.h"

#include "user_agent/services/Service_TaskImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Task
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Task.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
