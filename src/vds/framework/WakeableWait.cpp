#include "vds/framework/WakeableWait.h"

bool WakeableWait::WaitFor(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_mutex);
    return m_woken.wait_for(lock, limit, [this] { return m_stopRequested; });
}

void WakeableWait::RequestStop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested = true;
    }
    m_woken.notify_all();
}

bool WakeableWait::StopRequested() const
{
    std::lock_guard lock(m_mutex);
    return m_stopRequested;
}

void WakeableWait::Reset()
{
    std::lock_guard lock(m_mutex);
    m_stopRequested = false;
}
