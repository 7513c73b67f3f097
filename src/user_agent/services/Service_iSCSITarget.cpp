#include "user_agent/services/Service_iSCSITarget.h"

#include "user_agent/services/Service_iSCSITargetImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSITarget
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSITarget.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
