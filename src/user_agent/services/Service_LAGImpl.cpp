#include "user_agent/services/Service_LAGImpl.h"

#include "user_agent/services/Service_PhysicalPort.h"
#include "user_agent/services/Service_PhysicalPortImpl.h"
#include "user_agent/services/Service_Portal.h"
#include "user_agent/services/Service_PortalImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_LAG
#define MERROW_SERVICE_TABLE "user_agent/services/Service_LAG.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
