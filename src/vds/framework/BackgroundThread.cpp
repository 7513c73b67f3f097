#include "vds/framework/BackgroundThread.h"

#include "trace/Trace.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

using Merrow::Trace::TV_INFO;
using Merrow::Trace::TV_WARNING;

struct BackgroundThread::State {
    WakeableWait stop;
    Waker waker;
    std::mutex mutex; // guards launched and finished
    std::condition_variable changed;
    // Set once Start has stored the thread: until then the body may not run, since it may
    // call Stop, which reads what Start writes.
    bool launched = false;
    bool finished = false;
};

BackgroundThread::BackgroundThread(std::string name, const char* category)
    : m_name(std::move(name)), m_category(category)
{
}

BackgroundThread::~BackgroundThread() { Stop(); }

bool BackgroundThread::Start(Body body, Waker waker)
{
    if (m_thread.joinable())
        return false;
    auto state = std::make_shared<State>();
    state->waker = std::move(waker);
    try {
        m_thread = std::thread([state, body = std::move(body)] {
            {
                std::unique_lock lock(state->mutex);
                state->changed.wait(lock, [&] { return state->launched; });
            }
            body(state->stop);
            {
                std::lock_guard lock(state->mutex);
                state->finished = true;
            }
            state->changed.notify_all();
        });
    } catch (const std::system_error& error) {
        MWTRACE(TV_WARNING, m_category)
            << m_name << " cannot be started: " << error.what() << MWENDREC;
        return false;
    }
    m_state = state;
    {
        std::lock_guard lock(state->mutex);
        state->launched = true;
    }
    state->changed.notify_all();
    return true;
}

bool BackgroundThread::IsRunning() const
{
    if (!m_state)
        return false;
    std::lock_guard lock(m_state->mutex);
    return !m_state->finished;
}

bool BackgroundThread::Stop(std::chrono::milliseconds limit)
{
    if (!m_thread.joinable())
        return false;
    const std::shared_ptr<State> state = std::exchange(m_state, nullptr);
    state->stop.RequestStop();
    if (state->waker)
        state->waker();
    if (m_thread.get_id() == std::this_thread::get_id()) {
        // The body itself let go of its owner: it returns to end on its own.
        m_thread.detach();
        return true;
    }
    const bool inTime = WaitUntilFinished(*state, limit);
    m_thread.join();
    return inTime;
}

bool BackgroundThread::WaitUntilFinished(State& state, std::chrono::milliseconds limit) const
{
    std::unique_lock lock(state.mutex);
    if (state.changed.wait_for(lock, limit, [&] { return state.finished; }))
        return true;
    MWTRACE(TV_WARNING, m_category)
        << m_name << " did not stop within " << limit.count() << " ms; waiting for it to end"
        << MWENDREC;
    state.changed.wait(lock, [&] { return state.finished; });
    MWTRACE(TV_INFO, m_category) << m_name << " ended after overrunning its stop limit" << MWENDREC;
    return false;
}
