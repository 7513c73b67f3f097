#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_DiskList
#define MERROW_SERVICE_TABLE "user_agent/services/Service_DiskList.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// Every disk of the array.
// Operations are listed in Service_DiskList.def.
class Service_DiskList : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
