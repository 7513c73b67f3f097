#include "user_agent/services/Service_iSCSI.h"

#include "user_agent/services/Service_iSCSIImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSI
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSI.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
