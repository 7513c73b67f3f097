#pragma once

#include "user_agent/groupings/FunctionalGrouping_iSCSI.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSI
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSI.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_iSCSI handles; profiles and operations are listed in
// Service_iSCSI.def.
class Service_iSCSIImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
