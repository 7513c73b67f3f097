#include "user_agent/services/Service_User.h"

#include "user_agent/services/Service_UserImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_User
#define MERROW_SERVICE_TABLE "user_agent/services/Service_User.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
