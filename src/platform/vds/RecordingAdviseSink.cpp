#include "platform/vds/RecordingAdviseSink.h"

namespace orv::platform {

HRESULT RecordingAdviseSink::OnNotify(LONG lNumberOfNotifications,
                                      VDS_NOTIFICATION* pNotificationArray)
{
    if (lNumberOfNotifications < 0)
        return E_INVALIDARG;
    if (lNumberOfNotifications > 0 && pNotificationArray == nullptr)
        return E_POINTER;
    {
        std::lock_guard lock(m_mutex);
        m_records.insert(m_records.end(), pNotificationArray,
                         pNotificationArray + lNumberOfNotifications);
        ++m_calls;
    }
    m_arrived.notify_all();
    return S_OK;
}

std::vector<VDS_NOTIFICATION> RecordingAdviseSink::notifications() const
{
    std::lock_guard lock(m_mutex);
    return m_records;
}

std::size_t RecordingAdviseSink::onNotifyCalls() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

bool RecordingAdviseSink::waitForNotifications(std::size_t count,
                                               std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, timeout, [&] { return m_records.size() >= count; });
}

void RecordingAdviseSink::clear()
{
    std::lock_guard lock(m_mutex);
    m_records.clear();
    m_calls = 0;
}

}  // namespace orv::platform
