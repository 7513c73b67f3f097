#include "user_agent/groupings/FunctionalGrouping_ExternalConnections.h"

#include "user_agent/groupings/GroupingAction.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_ExternalConnections::TestSendNotification() {
    MWSCOPE_OBJ(this, "");
    return GroupingAction(*this,
                          "m_Merrow_StorageConfigurationService.ExecTestEmailSnmpNotifications()")
        .Run([&] { return m_Merrow_StorageConfigurationService.ExecTestEmailSnmpNotifications(); });
}

} // namespace Merrow::UserAgent
