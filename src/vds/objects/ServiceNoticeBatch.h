// ServiceNoticeBatch: the service notices the provider's thread has taken from the library's
// queue and not yet handled, each (service, code) once, in the order of its first notice.
//
// A notice makes the provider read the service as it stands now (a LUN's properties, the
// system's volume list); which array change caused it does not matter here. So the notices
// one service piles up while the provider is busy are handled once: a burst of 200 new
// volumes sends a notice for the system's volume list with each of them, and each one cost a
// reconcile of the whole list. Without this the provider fell behind such bursts and the
// queue grew without bound. A front end sees one change notification for a LUN that changed
// several times in one batch.
//
// Threads: a value of the provider's thread.
#pragma once

#include "user_agent/indications/ServiceIndication.h"

#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <utility>
#include <vector>

class ServiceNoticeBatch {
public:
    // False when the batch had a notice for the same service and code already.
    bool Add(const Merrow::UserAgent::ServiceIndication& notice);
    const std::vector<Merrow::UserAgent::ServiceIndication>& Notices() const { return m_notices; }
    // Notices added, the ones folded into an earlier one included.
    std::size_t Taken() const { return m_taken; }

private:
    using Key = std::pair<const Merrow::UserAgent::MerrowServiceImpl*, std::int32_t>;
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };

    std::vector<Merrow::UserAgent::ServiceIndication> m_notices;
    std::unordered_set<Key, KeyHash> m_keys;
    std::size_t m_taken = 0;
};
