#include "user_agent/services/Service_iSCSITargetImpl.h"

#include "user_agent/services/Service_Volume.h"
#include "user_agent/services/Service_VolumeImpl.h"
#include "user_agent/services/Service_Initiator.h"
#include "user_agent/services/Service_InitiatorImpl.h"
#include "user_agent/services/Service_iSCSISession.h"
#include "user_agent/services/Service_iSCSISessionImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSITarget
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSITarget.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
