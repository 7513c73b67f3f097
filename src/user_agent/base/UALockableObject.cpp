#include "user_agent/base/UALockableObject.h"

#include "user_agent/base/UALockTimeout.h"

#include <chrono>
#include <string>

namespace Merrow::UserAgent {

bool UALockableObject::TryLock(std::uint32_t limitMs) const {
    // Most locks are free: taking one without reading the clock halves the cost of offering
    // an indication to the thousands of containers of a big array.
    if (m_mutex.try_lock())
        return true;
    // The deadline is taken on the system clock on purpose: that wait maps to
    // pthread_mutex_timedlock, which ThreadSanitizer understands, while the steady-clock
    // variant (pthread_mutex_clocklock) is invisible to it and floods the tsan runs with
    // false races. A wall-clock jump only stretches or shortens a lock wait.
    const auto deadline = std::chrono::system_clock::now() + std::chrono::milliseconds(limitMs);
    return m_mutex.try_lock_until(deadline);
}

void UALockableObject::Lock(std::uint32_t limitMs, const char* function) const {
    if (TryLock(limitMs))
        return;
    throw UALockTimeout("Lock not acquired within " + std::to_string(limitMs) + " ms", __FILE__,
                        __LINE__, function ? function : "");
}

void UALockableObject::Unlock() const {
    m_mutex.unlock();
}

UALockableObject::ScopedLock::ScopedLock(const UALockableObject& object, std::uint32_t limitMs,
                                         const char* function)
    : m_object(object) {
    m_object.Lock(limitMs, function);
}

UALockableObject::ScopedLock::~ScopedLock() {
    m_object.Unlock();
}

} // namespace Merrow::UserAgent
