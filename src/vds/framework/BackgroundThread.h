// BackgroundThread: a thread of an object's own (the provider's indication thread) that is
// stopped cooperatively and promptly. Its body receives the thread's WakeableWait and
// waits on it, or on something else that the waker given to Start interrupts (a queue the
// body waits on); Stop requests the stop, wakes the body and waits for it to return.
//
// A stop has a limit (1,000 ms for the provider). A body that overruns it is not killed,
// since a thread ended from outside leaves its locks and objects in whatever state it was
// in; instead the overrun is traced as a warning and Stop waits for the body to finish.
//
// Threads: Start and Stop from any thread but the background thread itself, except that
// Stop may also be called from the body (the thread is then left to end on its own). The
// running state lives in a block shared with the thread, so the thread never touches a
// destroyed BackgroundThread. State::mutex guards State::finished and is a leaf lock.
#pragma once

#include "vds/framework/WakeableWait.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class BackgroundThread {
public:
    using Body = std::function<void(WakeableWait& stop)>;
    using Waker = std::function<void()>;
    static constexpr std::chrono::milliseconds kDefaultStopLimit{1000};

    // `name` and `category` identify the thread in the traces.
    BackgroundThread(std::string name, const char* category);
    // Stops the thread (Stop with the default limit).
    ~BackgroundThread();
    BackgroundThread(const BackgroundThread&) = delete;
    BackgroundThread& operator=(const BackgroundThread&) = delete;

    // Runs `body` on a new thread; `waker` (optional) is called by Stop after the stop was
    // requested. False when a thread was started and not stopped yet, or none can be made.
    bool Start(Body body, Waker waker = {});
    bool IsRunning() const;

    // Requests the stop, wakes the body, and waits for it to end: true when it ended
    // within `limit`, false when it overran (traced) or nothing was running. Called from
    // the body, it only requests the stop.
    bool Stop(std::chrono::milliseconds limit = kDefaultStopLimit);

private:
    struct State;

    bool WaitUntilFinished(State& state, std::chrono::milliseconds limit) const;

    std::string m_name;
    const char* m_category;
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};
