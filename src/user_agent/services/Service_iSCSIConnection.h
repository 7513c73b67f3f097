#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_iSCSIConnection
#define MERROW_SERVICE_TABLE "user_agent/services/Service_iSCSIConnection.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// One TCP connection of an iSCSI session.
// Operations are listed in Service_iSCSIConnection.def.
class Service_iSCSIConnection : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
