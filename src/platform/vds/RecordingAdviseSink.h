// The advise sink of the VDS stand-in: it keeps the most recent notifications in a ring of
// bounded size (the server runs for months; what it keeps must not grow with them) and
// hands every notification to a forwarder, through which attached front ends learn of
// them. The records passed to OnNotify stay the caller's.
//
// Thread-safe: OnNotify may arrive on any thread (the provider's background thread
// included) while another thread reads, waits or sets the forwarder. m_mutex guards the
// ring and the counters; m_forwarderMutex guards the forwarder and is held while it runs,
// so a forwarder that is replaced is never called afterwards. The forwarder runs without
// m_mutex and must not call back into the sink's forwarder setter.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/vds/VdsInterfaces.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace orv::platform {

class RecordingAdviseSink : public CComObjectRootEx, public IVdsAdviseSink {
public:
    using ComMap = ComInterfaceMap<IVdsAdviseSink>;
    using Forwarder = std::function<void(const VDS_NOTIFICATION* records, std::size_t count)>;

    static constexpr std::size_t kDefaultCapacity = 4096;

    // E_INVALIDARG for a negative count, E_POINTER for records missing behind a positive
    // count; nothing is recorded or forwarded then.
    HRESULT OnNotify(LONG lNumberOfNotifications, VDS_NOTIFICATION* pNotificationArray) override;

    // The kept records, oldest first: the last `capacity()` of all that arrived.
    std::vector<VDS_NOTIFICATION> notifications() const;
    std::size_t onNotifyCalls() const;
    // Every record that arrived since the last clear, kept or not.
    std::size_t receivedCount() const;
    // True once at least `count` records arrived (kept or not), false when `timeout`
    // passed first.
    bool waitForNotifications(std::size_t count, std::chrono::milliseconds timeout) const;
    void clear();

    // At least 1; older records are dropped at once when it shrinks.
    void setCapacity(std::size_t capacity);
    std::size_t capacity() const;

    // Called with every accepted batch after it was recorded; an empty forwarder ends
    // forwarding.
    void setForwarder(Forwarder forwarder);

private:
    void dropOldestLocked();

    mutable std::mutex m_mutex; // guards m_records, m_capacity, m_received and m_calls
    mutable std::condition_variable m_arrived;
    std::deque<VDS_NOTIFICATION> m_records;
    std::size_t m_capacity = kDefaultCapacity;
    std::size_t m_received = 0;
    std::size_t m_calls = 0;

    std::mutex m_forwarderMutex; // guards m_forwarder
    Forwarder m_forwarder;
};

}  // namespace orv::platform
