#include "user_agent/groupings/FunctionalGrouping_EventHistory.h"

#include "user_agent/groupings/GroupingAction.h"

namespace Merrow::UserAgent {

MerrowReturnValue FunctionalGrouping_EventHistory::ClearLog() {
    MWSCOPE_OBJ(this, "");
    const MerrowReturnValue cleared =
        GroupingAction(*this, "m_Log.ExecClearLog()").Run([&] { return m_Log.ExecClearLog(); });
    // The records' deletion indications may come later; the list must not show them now.
    if (!cleared.isFailure())
        m_Events.InvalidateCache();
    return cleared;
}

} // namespace Merrow::UserAgent
