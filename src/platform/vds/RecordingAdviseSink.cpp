#include "platform/vds/RecordingAdviseSink.h"

#include <algorithm>

namespace orv::platform {

HRESULT RecordingAdviseSink::OnNotify(LONG lNumberOfNotifications,
                                      VDS_NOTIFICATION* pNotificationArray)
{
    if (lNumberOfNotifications < 0)
        return E_INVALIDARG;
    if (lNumberOfNotifications > 0 && pNotificationArray == nullptr)
        return E_POINTER;
    const auto count = static_cast<std::size_t>(lNumberOfNotifications);
    {
        std::lock_guard lock(m_mutex);
        // Only the tail of a batch larger than the ring can stay.
        const std::size_t kept = std::min(count, m_capacity);
        m_records.insert(m_records.end(), pNotificationArray + (count - kept),
                         pNotificationArray + count);
        dropOldestLocked();
        m_received += count;
        ++m_calls;
    }
    m_arrived.notify_all();
    std::lock_guard forwarding(m_forwarderMutex);
    if (m_forwarder && count > 0)
        m_forwarder(pNotificationArray, count);
    return S_OK;
}

void RecordingAdviseSink::dropOldestLocked()
{
    while (m_records.size() > m_capacity)
        m_records.pop_front();
}

std::vector<VDS_NOTIFICATION> RecordingAdviseSink::notifications() const
{
    std::lock_guard lock(m_mutex);
    return {m_records.begin(), m_records.end()};
}

std::size_t RecordingAdviseSink::onNotifyCalls() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

std::size_t RecordingAdviseSink::receivedCount() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

bool RecordingAdviseSink::waitForNotifications(std::size_t count,
                                               std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, timeout, [&] { return m_received >= count; });
}

void RecordingAdviseSink::clear()
{
    std::lock_guard lock(m_mutex);
    m_records.clear();
    m_received = 0;
    m_calls = 0;
}

void RecordingAdviseSink::setCapacity(std::size_t capacity)
{
    std::lock_guard lock(m_mutex);
    m_capacity = std::max<std::size_t>(capacity, 1);
    dropOldestLocked();
}

std::size_t RecordingAdviseSink::capacity() const
{
    std::lock_guard lock(m_mutex);
    return m_capacity;
}

void RecordingAdviseSink::setForwarder(Forwarder forwarder)
{
    std::lock_guard forwarding(m_forwarderMutex);
    m_forwarder = std::move(forwarder);
}

}  // namespace orv::platform
