#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_TaskList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_TaskList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// Every job the array runs or still reports after its end.
// Operations are listed in Service_TaskList.def.
class Service_TaskList : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
