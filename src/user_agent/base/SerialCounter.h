#pragma once

#include <limits>
#include <mutex>
#include <type_traits>

namespace Merrow::UserAgent {

// Hands out sequence numbers that identify values across the process. The numbers are never
// below 1 so that 0 and negative numbers stay free to mean "no serial"; after the largest
// representable number the sequence starts again at 1.
//
// Thread safety: next() may be called from any thread; m_mutex guards m_last and is never held
// while anything else is locked.
template <typename T> class SerialCounter {
    static_assert(std::is_integral_v<T> && std::is_signed_v<T>);

public:
    explicit SerialCounter(T last = 0) : m_last(last) {}
    SerialCounter(const SerialCounter&) = delete;
    SerialCounter& operator=(const SerialCounter&) = delete;

    T next() {
        std::lock_guard lock(m_mutex);
        // Signed overflow is undefined, so the wrap is taken explicitly.
        if (m_last < 1 || m_last == std::numeric_limits<T>::max())
            m_last = 1;
        else
            ++m_last;
        return m_last;
    }

private:
    std::mutex m_mutex;
    T m_last;
};

} // namespace Merrow::UserAgent
