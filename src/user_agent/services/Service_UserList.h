#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_UserList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_UserList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The accounts of the array's management interface.
// Operations are listed in Service_UserList.def.
class Service_UserList : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
