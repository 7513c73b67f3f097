#include "user_agent/services/Service_TaskListImpl.h"

#include "user_agent/services/Service_Task.h"
#include "user_agent/services/Service_TaskImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_TaskList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_TaskList.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
