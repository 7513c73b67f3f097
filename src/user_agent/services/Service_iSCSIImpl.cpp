#include "user_agent/services/Service_iSCSIImpl.h"

#include "user_agent/services/Service_iSCSITarget.h"
#include "user_agent/services/Service_iSCSITargetImpl.h"
#include "user_agent/services/Service_Initiator.h"
#include "user_agent/services/Service_InitiatorImpl.h"
#include "user_agent/services/Service_Portal.h"
#include "user_agent/services/Service_PortalImpl.h"
#include "user_agent/services/Service_LAG.h"
#include "user_agent/services/Service_LAGImpl.h"
#include "user_agent/services/Service_PhysicalPort.h"
#include "user_agent/services/Service_PhysicalPortImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSI
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSI.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
