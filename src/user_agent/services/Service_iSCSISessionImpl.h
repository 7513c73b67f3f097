#pragma once

#include "user_agent/groupings/FunctionalGrouping_iSCSISession.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSISession
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSISession.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_iSCSISession handles; profiles and operations are listed in
// Service_iSCSISession.def.
class Service_iSCSISessionImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
