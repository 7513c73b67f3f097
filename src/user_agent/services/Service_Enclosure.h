#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Enclosure
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Enclosure.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The chassis of the array.
// Operations are listed in Service_Enclosure.def.
class Service_Enclosure : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
