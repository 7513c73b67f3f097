#include "user_agent/services/Service_PhysicalPortImpl.h"


namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_PhysicalPort
#define MERROW_SERVICE_TABLE "user_agent/services/Service_PhysicalPort.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
