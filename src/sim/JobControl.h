#pragma once

// The life of the array's jobs: started by the methods that run long, advanced by the job
// runner's clock, paused, resumed, cancelled and deleted through the task methods, and
// deleted by the array some time after they ended.
//
// A job's effect (a created volume becoming ready, a reconfigured volume moving onto its
// new layout, a disk going offline) happens when it reaches 100 percent; cancelling or
// failing undoes what the job had already put in place.
//
// The simulator's control can arm the next job to start: held, it waits until released;
// failing, it ends in Failed part way with an array failure number and text.

#include "sim/ArrayModel.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Merrow::Sim {

class JobControl {
public:
    // Starts a job; it takes over what the control armed for the next job.
    static std::string start(ModelTransaction& transaction, JobKind kind, const std::string& ownerId, std::string name,
                             std::int64_t nowMs, std::int64_t scheduledStartMs = 0);
    // What a job of `kind` does to its owner when it ends well; also the immediate effect
    // when the array runs the work without a job.
    static void applyEffect(ModelTransaction& transaction, JobKind kind, const std::string& ownerId);
    static void complete(ModelTransaction& transaction, SimJob& job, std::int64_t nowMs);
    static void cancel(ModelTransaction& transaction, SimJob& job, std::int64_t nowMs);
    static void fail(ModelTransaction& transaction, SimJob& job, std::int64_t nowMs);
    // Lets every held job run; returns how many there were.
    static std::size_t release(ModelTransaction& transaction, std::int64_t nowMs);

    static bool isActive(const SimJob& job);
    static bool isFinished(const SimJob& job) { return !isActive(job); }

    // Moves every job on by `elapsedMs` of run time: starts scheduled jobs whose time has
    // come, raises the percentage in steps of ten, fails jobs armed to fail at their
    // percentage, completes jobs at 100 percent and deletes finished jobs older than
    // `keepMs`.
    static void advance(ModelTransaction& transaction, std::int64_t elapsedMs, std::int64_t nowMs,
                        std::uint32_t jobMs, std::uint32_t keepMs);
};

} // namespace Merrow::Sim
