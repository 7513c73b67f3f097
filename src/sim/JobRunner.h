#pragma once

// The clock of the array's jobs: a thread that moves running jobs on, starts scheduled
// ones and deletes old finished ones (JobControl::advance), ticking twenty times per job
// time. It takes the model lock exclusively only when there are jobs.
//
// Threads: start() and stop() from the owner. m_mutex guards m_stopping.

#include "sim/ArrayModel.h"
#include "sim/SimulatorSettings.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace Merrow::Sim {

class JobRunner {
public:
    JobRunner(ArrayModel& model, const SimulatorSettings& settings) : m_model(model), m_settings(settings) {}
    ~JobRunner();
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    void start();
    void stop();

private:
    void run();
    void advanceJobs(std::int64_t elapsedMs, std::int64_t wallMs);
    std::chrono::milliseconds tick() const;

    ArrayModel& m_model;
    const SimulatorSettings& m_settings;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace Merrow::Sim
