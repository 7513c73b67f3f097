#include "user_agent/groupings/FunctionalGrouping_AdvancedSettings.h"

#include "user_agent/groupings/GroupingAction.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_AdvancedSettings::ForceControllerFailover() {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this, "m_Merrow_StorageConfigurationService.ExecForceControllerFailover()")
        .Run([&] { return m_Merrow_StorageConfigurationService.ExecForceControllerFailover(); });
}

MerrowReturnValue FunctionalGrouping_AdvancedSettings::ForceSystemRestart() {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this, "m_Merrow_StorageConfigurationService.ExecInitiateShutdown(True)")
        .Run([&] { return m_Merrow_StorageConfigurationService.ExecInitiateShutdown(true); });
}

MerrowReturnValue FunctionalGrouping_AdvancedSettings::TestSendNotification() {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this,
                          "m_Merrow_StorageConfigurationService.ExecTestEmailSnmpNotifications()")
        .Run([&] { return m_Merrow_StorageConfigurationService.ExecTestEmailSnmpNotifications(); });
}

} // namespace Merrow::UserAgent
