#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <mutex>
#include <utility>

namespace Merrow::UserAgent {

// An unbounded first-in first-out queue between threads: producers push copies, consumers
// pop with a wait limit. The library root keeps one of received indications (filled by the
// listener threads and the connections' failure paths, emptied by the dispatcher thread) and
// one of service indications (filled by the dispatcher thread, emptied by the provider).
//
// Threads: every member may be called from any thread. m_mutex guards the items and the
// wake-up generation; the condition shares it, so a push can never slip between a waiter's
// emptiness check and its wait.
template <typename T> class SynchronizedQueue {
public:
    // A wait limit that means "until an item arrives or wakeWaiters() is called".
    static constexpr std::uint32_t kWaitForever = std::numeric_limits<std::uint32_t>::max();

    SynchronizedQueue() = default;
    SynchronizedQueue(const SynchronizedQueue&) = delete;
    SynchronizedQueue& operator=(const SynchronizedQueue&) = delete;

    void push(const T& item) {
        {
            std::lock_guard lock(m_mutex);
            m_items.push_back(item);
        }
        m_condition.notify_one();
    }

    // Moves the front item into `item` and answers true; false when the queue stayed empty
    // for the whole limit (0: do not wait at all) or when wakeWaiters() was called during the
    // wait. `item` is left alone when the answer is false.
    bool pop(T& item, std::uint32_t waitLimitMs) {
        std::unique_lock lock(m_mutex);
        if (m_items.empty() && waitLimitMs != 0)
            waitForItem(lock, waitLimitMs);
        if (m_items.empty())
            return false;
        item = std::move(m_items.front());
        m_items.pop_front();
        return true;
    }

    // Ends the waits under way (they answer false unless an item is there by then), so a
    // thread that is being stopped need not sit out its wait limit. Later waits are not
    // affected.
    void wakeWaiters() {
        {
            std::lock_guard lock(m_mutex);
            ++m_wakeGeneration;
        }
        m_condition.notify_all();
    }

    std::size_t size() const {
        std::lock_guard lock(m_mutex);
        return m_items.size();
    }

private:
    void waitForItem(std::unique_lock<std::mutex>& lock, std::uint32_t waitLimitMs) {
        const std::uint64_t generation = m_wakeGeneration;
        const auto ready = [&] { return !m_items.empty() || m_wakeGeneration != generation; };
        if (waitLimitMs == kWaitForever) {
            m_condition.wait(lock, ready);
            return;
        }
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(waitLimitMs);
        m_condition.wait_until(lock, deadline, ready);
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_condition;
    std::deque<T> m_items;
    std::uint64_t m_wakeGeneration = 0;
};

} // namespace Merrow::UserAgent
