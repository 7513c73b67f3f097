#include "user_agent/indications/InterestWatch.h"

#include "user_agent/indications/StaleInterests.h"

#include <utility>

namespace Merrow::UserAgent {

void InterestWatch::MarkChanged() {
    // Listed already and not gathered since: the coming gathering sees this change too.
    if (m_stale.exchange(true, std::memory_order_acq_rel))
        return;
    std::lock_guard lock(m_watchMutex);
    if (m_watcher)
        m_watcher->Push(m_owner);
}

void InterestWatch::WatchWith(std::shared_ptr<StaleInterests> stale) {
    std::lock_guard lock(m_watchMutex);
    m_watcher = std::move(stale);
    // A router that starts watching knows nothing of the service yet.
    m_stale.store(true, std::memory_order_release);
    if (m_watcher)
        m_watcher->Push(m_owner);
}

} // namespace Merrow::UserAgent
