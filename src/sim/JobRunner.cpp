#include "sim/JobRunner.h"

#include "sim/JobControl.h"

#include "trace/Trace.h"

#include <algorithm>

namespace Merrow::Sim {

JobRunner::~JobRunner()
{
    stop();
}

void JobRunner::start()
{
    std::lock_guard lock(m_mutex);
    if (m_thread.joinable())
        return;
    m_stopping = false;
    m_thread = std::thread([this] { run(); });
}

void JobRunner::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::chrono::milliseconds JobRunner::tick() const
{
    const std::int64_t perStep = m_settings.jobMilliseconds / 20;
    return std::chrono::milliseconds(std::clamp<std::int64_t>(perStep, 10, 250));
}

void JobRunner::run()
{
    using Clock = std::chrono::steady_clock;
    auto last = Clock::now();
    std::unique_lock lock(m_mutex);
    while (!m_wake.wait_for(lock, tick(), [&] { return m_stopping; })) {
        lock.unlock();
        const auto now = Clock::now();
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count();
        last = now;
        const bool anyJobs = m_model.read([](const ModelView& view) { return !view.state.jobs.empty(); });
        if (anyJobs) {
            const auto wallMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::system_clock::now().time_since_epoch())
                                    .count();
            advanceJobs(elapsed, wallMs);
        }
        lock.lock();
    }
}

void JobRunner::advanceJobs(std::int64_t elapsedMs, std::int64_t wallMs)
{
    try {
        m_model.update([&](ModelTransaction& transaction) {
            JobControl::advance(transaction, elapsedMs, wallMs, m_settings.jobMilliseconds,
                                m_settings.jobKeepMilliseconds);
        });
    } catch (const std::exception& e) {
        // The jobs have advanced; only their saving failed, and the next change saves again.
        MWTRACE(2, "TC.Sim.Jobs") << "job progress not saved: " << e.what() << MWENDREC;
    }
}

} // namespace Merrow::Sim
