#pragma once

#include "user_agent/groupings/FunctionalGrouping_VolumeList.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_VolumeList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_VolumeList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_VolumeList handles; profiles and operations are listed in
// Service_VolumeList.def.
class Service_VolumeListImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
