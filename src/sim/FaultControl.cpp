#include "sim/FaultControl.h"

#include <cctype>

namespace Merrow::Sim {

namespace {

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

void FaultControl::setRefuseLogins(bool refuse)
{
    std::lock_guard lock(m_mutex);
    m_refuseLogins = refuse;
}

bool FaultControl::refuseLogins() const
{
    std::lock_guard lock(m_mutex);
    return m_refuseLogins;
}

void FaultControl::failNext(const std::string& operation, std::uint32_t count, std::uint32_t code)
{
    std::lock_guard lock(m_mutex);
    if (count == 0)
        m_failures.erase(lower(operation));
    else
        m_failures[lower(operation)] = {count, code};
}

std::optional<std::uint32_t> FaultControl::takeFailure(std::string_view operation)
{
    std::lock_guard lock(m_mutex);
    auto found = m_failures.find(lower(operation));
    if (found == m_failures.end())
        return std::nullopt;
    const std::uint32_t code = found->second.second;
    if (--found->second.first == 0)
        m_failures.erase(found);
    return code;
}

void FaultControl::setDelay(std::chrono::milliseconds delay)
{
    std::lock_guard lock(m_mutex);
    m_delay = delay;
    m_wake.notify_all();
}

std::chrono::milliseconds FaultControl::delay() const
{
    std::lock_guard lock(m_mutex);
    return m_delay;
}

void FaultControl::setHang(bool hang)
{
    std::lock_guard lock(m_mutex);
    m_hang = hang;
    m_wake.notify_all();
}

bool FaultControl::hanging() const
{
    std::lock_guard lock(m_mutex);
    return m_hang;
}

void FaultControl::holdRequest()
{
    std::unique_lock lock(m_mutex);
    const std::uint64_t generation = m_generation;
    auto released = [&] { return m_shutdown || m_generation != generation; };
    m_wake.wait(lock, [&] { return !m_hang || released(); });
    if (m_delay.count() > 0 && !released()) {
        const auto until = std::chrono::steady_clock::now() + m_delay;
        m_wake.wait_until(lock, until, released);
    }
}

void FaultControl::releaseWaiting()
{
    std::lock_guard lock(m_mutex);
    ++m_generation;
    m_wake.notify_all();
}

void FaultControl::setDropHandler(std::function<void()> handler)
{
    std::lock_guard lock(m_mutex);
    m_dropHandler = std::move(handler);
}

void FaultControl::dropConnections()
{
    std::function<void()> handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_dropHandler;
    }
    if (handler)
        handler();
}

void FaultControl::setPowerHandler(std::function<void(PowerCycle)> handler)
{
    std::lock_guard lock(m_mutex);
    m_powerHandler = std::move(handler);
}

void FaultControl::powerCycle(PowerCycle cycle)
{
    std::function<void(PowerCycle)> handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_powerHandler;
    }
    if (handler)
        handler(cycle);
}

void FaultControl::dropNextRequests(std::uint32_t count)
{
    std::lock_guard lock(m_mutex);
    m_drops = count;
}

bool FaultControl::takeDrop()
{
    std::lock_guard lock(m_mutex);
    if (m_drops == 0)
        return false;
    --m_drops;
    return true;
}

void FaultControl::shutdown()
{
    std::lock_guard lock(m_mutex);
    m_shutdown = true;
    m_wake.notify_all();
}

} // namespace Merrow::Sim
