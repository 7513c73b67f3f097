#pragma once

#include <atomic>
#include <chrono>

namespace cim {

// What one server connection is doing, written by its session and read by the accept thread
// when it must pick a connection to close to make room for a new one.
//
// Threads: enter() on the connection's thread, the readers from any thread; the phase and its
// start time are separate atomics, so a reader may pair a phase with a slightly older time,
// which only makes the choice of the connection to close a little less exact.
class HttpConnectionActivity {
public:
    using Clock = std::chrono::steady_clock;

    enum class Phase {
        // Waiting for the first byte of a request.
        Idle,
        // Some of a request's head has arrived, not all of it.
        ReceivingHead,
        // Reading a body, running the handler or writing the reply.
        Busy,
    };

    void enter(Phase phase)
    {
        m_since.store(Clock::now().time_since_epoch().count());
        m_phase.store(phase);
    }

    Phase phase() const { return m_phase.load(); }
    Clock::time_point since() const { return Clock::time_point(Clock::duration(m_since.load())); }

private:
    std::atomic<Phase> m_phase{Phase::Idle};
    std::atomic<Clock::rep> m_since{Clock::now().time_since_epoch().count()};
};

} // namespace cim
