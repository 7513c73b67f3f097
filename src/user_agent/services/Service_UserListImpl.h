#pragma once

#include "user_agent/groupings/FunctionalGrouping_UserList.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_UserList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_UserList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_UserList handles; profiles and operations are listed in
// Service_UserList.def.
class Service_UserListImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
