#include "user_agent/services/Service_iSCSISession.h"

#include "user_agent/services/Service_iSCSISessionImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSISession
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSISession.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
