#include "sim/TaskMethods.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/JobControl.h"

namespace Merrow::Sim {

namespace {

SimJob* jobOf(MethodCall& call)
{
    const auto path = call.in<cim::CIMObjectPath>("Job");
    return path ? call.job(*path) : nullptr;
}

void touch(MethodCall& call, const SimJob& job)
{
    call.transaction().touch(ModelProjection::group(GroupKind::Job, job.id));
}

} // namespace

std::uint32_t TaskMethods::rescheduleTask(MethodCall& call)
{
    SimJob* job = jobOf(call);
    if (job == nullptr)
        return ArrayFailure::ObjectNotFound;
    if (JobControl::isFinished(*job))
        return ArrayFailure::InvalidRequest;
    job->priority = call.in<std::uint32_t>("ScheduledTaskPriority", job->priority);
    job->periodicityType = call.in<std::uint16_t>("PeriodicityType", job->periodicityType);
    job->periodicity = call.in<std::uint16_t>("Periodicity", job->periodicity);
    const auto start = call.in<cim::CIMDateTime>("ScheduledTaskStartTime");
    if (start && start->isTimestamp()) {
        const std::int64_t startMs = start->toMicroseconds() / 1000;
        if (job->status == JobStatus::Scheduled || startMs > call.nowMilliseconds()) {
            job->scheduledStartMs = startMs;
            if (job->status == JobStatus::Running && job->runMs == 0)
                job->status = JobStatus::Scheduled;
        }
    }
    touch(call, *job);
    return ArrayFailure::Ok;
}

std::uint32_t TaskMethods::abortTask(MethodCall& call)
{
    SimJob* job = jobOf(call);
    if (job == nullptr)
        return ArrayFailure::ObjectNotFound;
    if (JobControl::isFinished(*job))
        return ArrayFailure::InvalidRequest;
    JobControl::cancel(call.transaction(), *job, call.nowMilliseconds());
    return ArrayFailure::Ok;
}

std::uint32_t TaskMethods::deleteTask(MethodCall& call)
{
    SimJob* job = jobOf(call);
    if (job == nullptr)
        return ArrayFailure::ObjectNotFound;
    if (JobControl::isActive(*job))
        return ArrayFailure::InvalidRequest;
    touch(call, *job);
    call.state().jobs.erase(job->id);
    return ArrayFailure::Ok;
}

std::uint32_t TaskMethods::suspendTask(MethodCall& call)
{
    SimJob* job = jobOf(call);
    if (job == nullptr)
        return ArrayFailure::ObjectNotFound;
    if (job->status != JobStatus::Running)
        return ArrayFailure::InvalidRequest;
    job->status = JobStatus::Paused;
    touch(call, *job);
    return ArrayFailure::Ok;
}

std::uint32_t TaskMethods::resumeTask(MethodCall& call)
{
    SimJob* job = jobOf(call);
    if (job == nullptr)
        return ArrayFailure::ObjectNotFound;
    if (job->status != JobStatus::Paused)
        return ArrayFailure::InvalidRequest;
    job->status = JobStatus::Running;
    touch(call, *job);
    return ArrayFailure::Ok;
}

} // namespace Merrow::Sim
