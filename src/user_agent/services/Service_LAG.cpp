#include "user_agent/services/Service_LAG.h"

#include "user_agent/services/Service_LAGImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_LAG
#define MERROW_SERVICE_TABLE "user_agent/services/Service_LAG.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
