#pragma once

#include "user_agent/groupings/FunctionalGrouping_SystemPerformanceSummary.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_SystemStatistics
#define MERROW_SERVICE_TABLE "user_agent/services/Service_SystemStatistics.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_SystemStatistics handles; profiles and operations are listed in
// Service_SystemStatistics.def.
class Service_SystemStatisticsImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
