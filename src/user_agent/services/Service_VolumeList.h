#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_VolumeList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_VolumeList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// Every volume of the array.
// Operations are listed in Service_VolumeList.def.
class Service_VolumeList : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
