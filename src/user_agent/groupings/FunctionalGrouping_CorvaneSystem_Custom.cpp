#include "user_agent/groupings/FunctionalGrouping_CorvaneSystem.h"

#include "user_agent/groupings/GroupingAction.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_CorvaneSystem::Shutdown(bool restart) {
    MWSCOPE_OBJ(this, restart ? "restart" : "");
    const std::string call = std::string("m_Merrow_StorageConfigurationService.ExecInitiateShutdown(") +
                             (restart ? "True" : "False") + ")";
    return GroupingAction(*this, call).Run([&] {
        return m_Merrow_StorageConfigurationService.ExecInitiateShutdown(restart);
    });
}

} // namespace Merrow::UserAgent
