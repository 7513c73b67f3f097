#pragma once

#include "user_agent/groupings/FunctionalGrouping_ExternalConnections.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_ExternalConnectionsManager
#define MERROW_SERVICE_TABLE "user_agent/services/Service_ExternalConnectionsManager.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_ExternalConnectionsManager handles; profiles and operations are listed in
// Service_ExternalConnectionsManager.def.
class Service_ExternalConnectionsManagerImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"
};

} // namespace Merrow::UserAgent
