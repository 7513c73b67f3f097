#include "vds/objects/LogInMailbox.h"

#include <utility>

void LogInMailbox::Post(LogInBatch batch)
{
    std::optional<LogInBatch> replaced;
    {
        std::lock_guard lock(m_mutex);
        if (m_closed)
            return;
        replaced = std::exchange(m_waiting, std::move(batch));
    }
    m_posted.notify_one();
}

std::optional<LogInBatch> LogInMailbox::Take()
{
    std::unique_lock lock(m_mutex);
    m_posted.wait(lock, [&] { return m_closed || m_waiting.has_value(); });
    if (m_closed)
        return std::nullopt;
    return std::exchange(m_waiting, std::nullopt);
}

void LogInMailbox::Close()
{
    std::optional<LogInBatch> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        dropped = std::exchange(m_waiting, std::nullopt);
    }
    m_posted.notify_all();
}
