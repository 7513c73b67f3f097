#include "sim/RequestCounters.h"

namespace Merrow::Sim {

void RequestCounters::count(std::string_view operation)
{
    std::lock_guard lock(m_mutex);
    auto found = m_counts.find(operation);
    if (found == m_counts.end())
        m_counts.emplace(std::string(operation), 1);
    else
        ++found->second;
}

std::uint64_t RequestCounters::get(std::string_view operation) const
{
    std::lock_guard lock(m_mutex);
    auto found = m_counts.find(operation);
    return found == m_counts.end() ? 0 : found->second;
}

std::map<std::string, std::uint64_t> RequestCounters::snapshot() const
{
    std::lock_guard lock(m_mutex);
    return {m_counts.begin(), m_counts.end()};
}

void RequestCounters::reset()
{
    std::lock_guard lock(m_mutex);
    m_counts.clear();
}

} // namespace Merrow::Sim
