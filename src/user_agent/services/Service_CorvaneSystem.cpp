#include "user_agent/services/Service_CorvaneSystem.h"

#include "user_agent/services/Service_CorvaneSystemImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_CorvaneSystem
#define MERROW_SERVICE_TABLE "user_agent/services/Service_CorvaneSystem.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
