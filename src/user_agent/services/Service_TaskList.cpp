#include "user_agent/services/Service_TaskList.h"

#include "user_agent/services/Service_TaskListImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_TaskList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_TaskList.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
