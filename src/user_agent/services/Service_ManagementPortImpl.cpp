#include "user_agent/services/Service_ManagementPortImpl.h"


namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_ManagementPort
#define MERROW_SERVICE_TABLE "user_agent/services/Service_ManagementPort.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
