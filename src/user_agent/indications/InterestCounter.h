#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace Merrow::UserAgent {

class MerrowServiceImpl;
class StaleInterests;

// What a service's containers advance when the paths they would give CollectInterest may
// change. The first advance after the router took the service's interest puts the service
// on the router's stale list, so the router gathers again only the services that changed
// instead of asking each of a thousand whether it did.
//
// Threads: Advance on any thread, with container locks held (it takes m_watchMutex, then the
// list's lock, both leaves); WatchWith and TakeStale on the router's side. The stale flag is
// cleared before a gathering starts, so an advance while it runs is never lost: it marks the
// service stale again and lists it for the next gathering.
class InterestCounter {
public:
    explicit InterestCounter(const MerrowServiceImpl& owner) : m_owner(&owner) {}
    InterestCounter(const InterestCounter&) = delete;
    InterestCounter& operator=(const InterestCounter&) = delete;

    void Advance();
    // How many advances so far.
    std::uint64_t Count() const { return m_count.load(std::memory_order_acquire); }
    // Lists the service on `stale` now and after every advance that follows a TakeStale.
    void WatchWith(std::shared_ptr<StaleInterests> stale);
    // True when the service advanced (or was watched) since the last call; clears the mark.
    bool TakeStale() { return m_stale.exchange(false, std::memory_order_acq_rel); }

private:
    const MerrowServiceImpl* const m_owner;
    std::atomic<std::uint64_t> m_count{0};
    std::atomic<bool> m_stale{true};
    std::mutex m_watchMutex; // guards m_watcher
    std::shared_ptr<StaleInterests> m_watcher;
};

} // namespace Merrow::UserAgent
