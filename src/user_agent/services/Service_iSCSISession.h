#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSISession
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSISession.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One live iSCSI session of an initiator on a target.
// Operations are listed in Service_iSCSISession.def.
class Service_iSCSISession : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
