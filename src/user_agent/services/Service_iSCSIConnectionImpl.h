#pragma once

#include "user_agent/groupings/FunctionalGrouping_iSCSIConnection.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSIConnection
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSIConnection.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_iSCSIConnection handles; profiles and operations are listed in
// Service_iSCSIConnection.def.
class Service_iSCSIConnectionImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
