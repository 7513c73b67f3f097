#include "user_agent/services/Service_iSCSISessionImpl.h"

#include "user_agent/services/Service_iSCSITarget.h"
#include "user_agent/services/Service_iSCSITargetImpl.h"
#include "user_agent/services/Service_iSCSIConnection.h"
#include "user_agent/services/Service_iSCSIConnectionImpl.h"
#include "user_agent/services/Service_Initiator.h"
#include "user_agent/services/Service_InitiatorImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSISession
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSISession.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
