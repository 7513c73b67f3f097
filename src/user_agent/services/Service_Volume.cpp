#include "user_agent/services/Service_Volume.h"

#include "user_agent/services/Service_VolumeImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Volume
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Volume.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
