#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Extent
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Extent.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One extent: a piece of one disk that one volume is built on.
// Operations are listed in Service_Extent.def.
class Service_Extent : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
