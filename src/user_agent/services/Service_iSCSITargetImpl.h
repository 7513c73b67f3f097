#pragma once

#include "user_agent/groupings/FunctionalGrouping_iSCSITarget.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSITarget
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSITarget.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_iSCSITarget handles; profiles and operations are listed in
// Service_iSCSITarget.def.
class Service_iSCSITargetImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
