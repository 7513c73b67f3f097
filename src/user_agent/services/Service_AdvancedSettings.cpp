#include "user_agent/services/Service_AdvancedSettings.h"

#include "user_agent/services/Service_AdvancedSettingsImpl.h"

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_AdvancedSettings
#define MERROW_SERVICE_TABLE "user_agent/services/Service_AdvancedSettings.def"
#include "user_agent/services/ServiceHandleDefinitions.inc"

} // namespace Merrow::UserAgent
