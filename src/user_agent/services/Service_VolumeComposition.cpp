#include "user_agent/services/Service_VolumeComposition.h"

#include "user_agent/services/Service_VolumeCompositionImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_VolumeComposition
#define MERROW_SERVICE_TABLE "user_agent/services/Service_VolumeComposition.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
