#include "user_agent/services/Service_SystemStatistics.h"

#include "user_agent/services/Service_SystemStatisticsImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_SystemStatistics
#define MERROW_SERVICE_TABLE "user_agent/services/Service_SystemStatistics.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
