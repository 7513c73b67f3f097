#include "user_agent/services/Service_Initiator.h"

#include "user_agent/services/Service_InitiatorImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Initiator
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Initiator.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
