// An advise sink that keeps a copy of every notification it is given, for the provider
// host and for tests. The records passed to OnNotify stay the caller's.
//
// Thread-safe: OnNotify may arrive on any thread (the provider's background thread
// included) while another thread reads or waits. m_mutex is a leaf lock.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/vds/VdsInterfaces.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace orv::platform {

class RecordingAdviseSink : public CComObjectRootEx, public IVdsAdviseSink {
public:
    using ComMap = ComInterfaceMap<IVdsAdviseSink>;

    // E_INVALIDARG for a negative count, E_POINTER for records missing behind a positive
    // count; nothing is recorded then.
    HRESULT OnNotify(LONG lNumberOfNotifications, VDS_NOTIFICATION* pNotificationArray) override;

    std::vector<VDS_NOTIFICATION> notifications() const;
    std::size_t onNotifyCalls() const;
    // True once at least `count` records arrived, false when `timeout` passed first.
    bool waitForNotifications(std::size_t count, std::chrono::milliseconds timeout) const;
    void clear();

private:
    mutable std::mutex m_mutex;  // guards m_records and m_calls
    mutable std::condition_variable m_arrived;
    std::vector<VDS_NOTIFICATION> m_records;
    std::size_t m_calls = 0;
};

}  // namespace orv::platform
