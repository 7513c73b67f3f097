#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSI
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSI.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The array's iSCSI side: targets, initiators, portals and link aggregates.
// Operations are listed in Service_iSCSI.def.
class Service_iSCSI : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
