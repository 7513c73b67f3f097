#include "user_agent/services/Service_Controller.h"

#include "user_agent/services/Service_ControllerImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Controller
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Controller.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
