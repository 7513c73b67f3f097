#include "FreedMemoryReturner.h"

#include <malloc.h>

FreedMemoryReturner::FreedMemoryReturner(std::chrono::milliseconds period)
    : m_period(period), m_thread([this] { run(); })
{
}

FreedMemoryReturner::~FreedMemoryReturner()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void FreedMemoryReturner::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, m_period, [this] { return m_stopping; })) {
        lock.unlock();
        ::malloc_trim(0);
        lock.lock();
    }
}
