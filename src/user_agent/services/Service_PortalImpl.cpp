#include "user_agent/services/Service_PortalImpl.h"

#include "user_agent/services/Service_iSCSIConnection.h"
#include "user_agent/services/Service_iSCSIConnectionImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Portal
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Portal.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
