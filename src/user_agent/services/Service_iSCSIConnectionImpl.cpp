#include "user_agent/services/Service_iSCSIConnectionImpl.h"

#include "user_agent/services/Service_iSCSISession.h"
#include "user_agent/services/Service_iSCSISessionImpl.h"
#include "user_agent/services/Service_Portal.h"
#include "user_agent/services/Service_PortalImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSIConnection
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSIConnection.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
