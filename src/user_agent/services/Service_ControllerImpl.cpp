#include "user_agent/services/Service_ControllerImpl.h"

#include "user_agent/services/Service_PhysicalPort.h"
#include "user_agent/services/Service_PhysicalPortImpl.h"
#include "user_agent/services/Service_LAG.h"
#include "user_agent/services/Service_LAGImpl.h"
#include "user_agent/services/Service_Pool.h"
#include "user_agent/services/Service_PoolImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Controller
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Controller.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
