#pragma once

#include "user_agent/groupings/FunctionalGrouping_User.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_User
#define MERROW_SERVICE_TABLE "user_agent/services/Service_User.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_User handles; profiles and operations are listed in
// Service_User.def.
class Service_UserImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
