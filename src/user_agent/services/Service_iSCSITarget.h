#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSITarget
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSITarget.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One iSCSI target: names, its volume, initiators with access and sessions.
// Operations are listed in Service_iSCSITarget.def.
class Service_iSCSITarget : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
