// WakeableWait: a wait with a time limit that a stop request ends at once. The waiting
// thread asks waitFor(limit) and learns whether it was told to stop; any other thread may
// request the stop. Once requested, the stop stays requested (every later wait returns at
// once) until Reset.
//
// Threads: any. m_mutex guards m_stopRequested and is a leaf lock.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class WakeableWait {
public:
    // True when a stop was requested (before or during the wait), false when `limit`
    // passed without one.
    bool WaitFor(std::chrono::milliseconds limit);
    void RequestStop();
    bool StopRequested() const;
    void Reset();

private:
    mutable std::mutex m_mutex; // guards m_stopRequested
    std::condition_variable m_woken;
    bool m_stopRequested = false;
};
