#include "user_agent/services/Service_iSCSIConnection.h"

#include "user_agent/services/Service_iSCSIConnectionImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSIConnection
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSIConnection.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
