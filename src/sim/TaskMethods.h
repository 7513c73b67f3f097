#pragma once

// The task methods of the storage configuration service: reschedule, abort, suspend,
// resume and delete a job. A job that is gone answers "Object not found" (11); a request
// the job's state does not allow answers "Invalid Request" (23).

#include "sim/MethodCall.h"

#include <cstdint>

namespace Merrow::Sim {

class TaskMethods {
public:
    static std::uint32_t rescheduleTask(MethodCall& call);
    static std::uint32_t abortTask(MethodCall& call);
    static std::uint32_t deleteTask(MethodCall& call);
    static std::uint32_t suspendTask(MethodCall& call);
    static std::uint32_t resumeTask(MethodCall& call);
};

} // namespace Merrow::Sim
