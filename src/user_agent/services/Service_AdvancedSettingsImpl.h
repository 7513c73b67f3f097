#pragma once

#include "user_agent/groupings/FunctionalGrouping_AdvancedSettings.h"
#include "user_agent/services/PersistantDataManager.h"
#include "user_agent/services/ServiceImplBase.h"
#include "user_agent/services/ServiceTable.h"

#include <vector>

namespace Merrow::UserAgent {

#define MERROW_SERVICE_CLASS Service_AdvancedSettings
#define MERROW_SERVICE_TABLE "user_agent/services/Service_AdvancedSettings.def"
#include "user_agent/services/ServiceForwardDeclarations.inc"

// The implementation behind Service_AdvancedSettings handles; profiles and operations are listed in
// Service_AdvancedSettings.def.
class Service_AdvancedSettingsImpl : public ServiceImplBase {
#include "user_agent/services/ServiceImplDeclarations.inc"

private:
    // Configuration save and restore; a restore the array must restart for restarts it
    // through this service.
    PersistantDataManager m_persistantData{GetConnection(), [this] { return ForceSystemRestart(); }};
};

} // namespace Merrow::UserAgent
