#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

// Facades that only the hand-written operations take or hand out.
class Service_Disk;
class Service_Initiator;
class Service_Volume;

#define MERROW_SERVICE_CLASS Service_CorvaneSystem
#define MERROW_SERVICE_TABLE "user_agent/services/Service_CorvaneSystem.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The array as a whole: its name, the facades of its parts, and the volumes made on it.
// Operations are listed in Service_CorvaneSystem.def.
class Service_CorvaneSystem : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
