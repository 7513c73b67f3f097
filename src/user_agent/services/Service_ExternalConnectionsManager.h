#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_ExternalConnectionsManager
#define MERROW_SERVICE_TABLE "user_agent/services/Service_ExternalConnectionsManager.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// Where the array sends notifications and fetches time: the e-mail server and
// recipient, the SNMP trap destination, the NTP and syslog servers.
// Operations are listed in Service_ExternalConnectionsManager.def.
class Service_ExternalConnectionsManager : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
