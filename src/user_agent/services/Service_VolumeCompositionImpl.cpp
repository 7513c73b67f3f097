#include "user_agent/services/Service_VolumeCompositionImpl.h"

#include "user_agent/services/Service_Extent.h"
#include "user_agent/services/Service_ExtentImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_VolumeComposition
#define MERROW_SERVICE_TABLE "user_agent/services/Service_VolumeComposition.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
