#include "user_agent/services/Service_VolumeListImpl.h"

#include "user_agent/services/Service_Volume.h"
#include "user_agent/services/Service_VolumeImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_VolumeList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_VolumeList.def"
#include "user_agent/services/ServiceImplDefinitions.inc"

} // namespace Merrow::UserAgent
