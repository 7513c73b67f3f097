#include "user_agent/services/Service_VolumeList.h"

#include "user_agent/services/Service_VolumeListImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_VolumeList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_VolumeList.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
