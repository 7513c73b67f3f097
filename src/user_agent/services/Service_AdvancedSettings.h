#pragma once

#include "user_agent/services/ServiceHandle.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_AdvancedSettings
#define MERROW_SERVICE_TABLE "user_agent/services/Service_AdvancedSettings.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The array-wide iSCSI, iSNS, IP and TCP settings.
// Operations are listed in Service_AdvancedSettings.def.
class Service_AdvancedSettings : public MerrowService {
#include "user_agent/services/ServiceHandleDeclarations.inc"
};

} // namespace Merrow::UserAgent
