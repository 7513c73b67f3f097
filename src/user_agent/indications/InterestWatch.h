#pragma once

#include <atomic>
#include <memory>
#include <mutex>

namespace Merrow::UserAgent {

class MerrowServiceImpl;
class StaleInterests;

// What a service's containers mark when the paths they would give CollectInterest may
// change. The first mark after the router took the service's interest puts the service on
// the router's stale list, so the router gathers again only the services that changed
// instead of asking each of a thousand whether it did.
//
// Threads: MarkChanged on any thread, with container locks held (it takes m_watchMutex,
// then the list's lock, both leaves); WatchWith and TakeStale on the router's side. The
// stale flag is cleared before a gathering starts, so a mark while it runs is never lost: it
// marks the service stale again and lists it for the next gathering.
class InterestWatch {
public:
    explicit InterestWatch(const MerrowServiceImpl& owner) : m_owner(&owner) {}
    InterestWatch(const InterestWatch&) = delete;
    InterestWatch& operator=(const InterestWatch&) = delete;

    void MarkChanged();
    // Lists the service on `stale` now and at every mark that follows a TakeStale.
    void WatchWith(std::shared_ptr<StaleInterests> stale);
    // True when the service was marked (or watched) since the last call; clears the mark.
    bool TakeStale() { return m_stale.exchange(false, std::memory_order_acq_rel); }

private:
    const MerrowServiceImpl* const m_owner;
    std::atomic<bool> m_stale{true};
    std::mutex m_watchMutex; // guards m_watcher
    std::shared_ptr<StaleInterests> m_watcher;
};

} // namespace Merrow::UserAgent
