#pragma once

#include "user_agent/profiles/Profile_BlockServices_VolumeComposition.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_VolumeComposition
#define MERROW_SERVICE_TABLE "user_agent/services/Service_VolumeComposition.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_VolumeComposition handles; profiles and operations are listed in
// Service_VolumeComposition.def.
class Service_VolumeCompositionImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
