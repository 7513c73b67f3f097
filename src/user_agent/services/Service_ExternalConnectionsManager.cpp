#include "user_agent/services/Service_ExternalConnectionsManager.h"

#include "user_agent/services/Service_ExternalConnectionsManagerImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_ExternalConnectionsManager
#define MERROW_SERVICE_TABLE "user_agent/services/Service_ExternalConnectionsManager.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
