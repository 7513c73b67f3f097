#pragma once

#include "user_agent/groupings/FunctionalGrouping_TaskList.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_TaskList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_TaskList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_TaskList handles; profiles and operations are listed in
// Service_TaskList.def.
class Service_TaskListImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
