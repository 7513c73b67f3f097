#pragma once

#include "user_agent/base/DateTime.h"
#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Task
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Task.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One job of the array (a volume being created or reconfigured, a scan, a drive being
// initialised): its progress, its schedule and its control. Nothing here waits for a job; a
// caller that needs its end reads GetState and GetPercentComplete until the state is
// Completed, Failed or Cancelled. Once the array deletes the job, the handle answers
// UA_E_SERVICE_REMOVED.
// GetEstimatedCompletionTime gives the array's "ElapsedTime", the run time so far, as a
// DateTime of that length; GetErrorDescription the array's text for a failed job, which no
// other job carries. Operations are listed in Service_Task.def.
class Service_Task : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
