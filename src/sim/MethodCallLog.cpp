#include "sim/MethodCallLog.h"

#include <algorithm>
#include <cctype>

namespace Merrow::Sim {

namespace {

// Method names are case-insensitive on the wire; the log keys them in lower case.
std::string keyOf(std::string_view methodName)
{
    std::string key(methodName);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    return key;
}

} // namespace

void MethodCallLog::record(const std::string& methodName, RecordedCall call)
{
    std::lock_guard lock(m_mutex);
    m_calls[keyOf(methodName)] = std::move(call);
}

std::optional<RecordedCall> MethodCallLog::last(std::string_view methodName) const
{
    std::lock_guard lock(m_mutex);
    auto found = m_calls.find(keyOf(methodName));
    if (found == m_calls.end())
        return std::nullopt;
    return found->second;
}

void MethodCallLog::clear()
{
    std::lock_guard lock(m_mutex);
    m_calls.clear();
}

} // namespace Merrow::Sim
