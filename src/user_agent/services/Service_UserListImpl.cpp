#include "user_agent/services/Service_UserListImpl.h"

#include "user_agent/services/Service_User.h"
#include "user_agent/services/Service_UserImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_UserList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_UserList.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
