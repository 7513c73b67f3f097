#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_CorvaneSystem
#define MERROW_SERVICE_TABLE "user_agent/services/Service_CorvaneSystem.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The array as a whole: its name and the facades of its parts.
// Operations are listed in Service_CorvaneSystem.def.
class Service_CorvaneSystem : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
