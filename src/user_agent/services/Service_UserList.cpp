#include "user_agent/services/Service_UserList.h"

#include "user_agent/services/Service_UserListImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_UserList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_UserList.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
