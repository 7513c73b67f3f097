#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_User
#define MERROW_SERVICE_TABLE "user_agent/services/Service_User.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One account of the array's management interface. Its password can be set, never read.
// Operations are listed in Service_User.def.
class Service_User : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
