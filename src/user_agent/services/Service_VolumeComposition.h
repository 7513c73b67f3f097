#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_VolumeComposition
#define MERROW_SERVICE_TABLE "user_agent/services/Service_VolumeComposition.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// How one volume is laid out: stripe, redundancy and extents.
// Operations are listed in Service_VolumeComposition.def.
class Service_VolumeComposition : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
