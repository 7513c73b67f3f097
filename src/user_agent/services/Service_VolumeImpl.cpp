#include "user_agent/services/Service_VolumeImpl.h"

#include "user_agent/services/Service_Initiator.h"
#include "user_agent/services/Service_InitiatorImpl.h"
#include "user_agent/services/Service_Task.h"
#include "user_agent/services/Service_TaskImpl.h"
#include "user_agent/services/Service_VolumeComposition.h"
#include "user_agent/services/Service_VolumeCompositionImpl.h"
#include "user_agent/services/Service_iSCSITarget.h"
#include "user_agent/services/Service_iSCSITargetImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Volume
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Volume.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
