#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Disk
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Disk.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One disk drive: media data, its pool and the volume extents on it.
// Operations are listed in Service_Disk.def.
class Service_Disk : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
