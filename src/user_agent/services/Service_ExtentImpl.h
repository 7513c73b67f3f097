#pragma once

#include "user_agent/profiles/Profile_BlockServices_Extent.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_Extent
#define MERROW_SERVICE_TABLE "user_agent/services/Service_Extent.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_Extent handles; profiles and operations are listed in
// Service_Extent.def.
class Service_ExtentImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
