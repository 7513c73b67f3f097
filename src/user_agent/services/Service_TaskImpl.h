#pragma once

#include "user_agent/base/DateTime.h"
#include "user_agent/groupings/FunctionalGrouping_Task.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Task
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Task.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_Task handles; profiles and operations are listed in
// Service_Task.def.
class Service_TaskImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"

private:
    using TimeAccessor = MerrowReturnValue (FunctionalGrouping_Task::*)(cim::CIMDateTime&);
    MerrowReturnValue GetTime(TimeAccessor accessor, DateTime& value);
};

} // namespace Merrow::UserAgent
