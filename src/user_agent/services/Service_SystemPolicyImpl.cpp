#include "user_agent/services/Service_SystemPolicyImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_SystemPolicy
#define MERROW_SERVICE_TABLE "user_agent/services/Service_SystemPolicy.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
