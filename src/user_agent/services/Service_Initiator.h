#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Initiator
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Initiator.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One iSCSI initiator registered on the array.
// Operations are listed in Service_Initiator.def.
class Service_Initiator : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
