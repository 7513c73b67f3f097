#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_SystemStatistics
#define MERROW_SERVICE_TABLE "user_agent/services/Service_SystemStatistics.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// Counts of disks, media, volumes, initiators, sessions and targets of the array.
// Operations are listed in Service_SystemStatistics.def.
class Service_SystemStatistics : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
