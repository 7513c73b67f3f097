#pragma once

#include "user_agent/base/DateTime.h"
#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

// Facades that only the hand-written operations take or hand out.
class Service_Disk;
class Service_Task;

#define MERROW_SERVICE_CLASS Service_Volume
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Volume.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One volume: names, layout, size and growth, reconfiguration, integrity scans and deletion,
// and the target
// that exposes it.
// Operations are listed in Service_Volume.def.
class Service_Volume : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
