#include "sim/JobControl.h"

#include "sim/EventLog.h"
#include "sim/VolumeActions.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace Merrow::Sim {

namespace {

void touchJob(ModelTransaction& transaction, const std::string& jobId)
{
    transaction.touch(ModelProjection::group(GroupKind::Job, jobId));
}

std::uint16_t percentAfter(std::int64_t runMs, std::uint32_t jobMs)
{
    if (jobMs == 0 || runMs >= static_cast<std::int64_t>(jobMs))
        return 100;
    return static_cast<std::uint16_t>(runMs * 10 / jobMs * 10);
}

// Takes the job from created or scheduled to its run; a held job waits instead.
void begin(SimJob& job, std::int64_t nowMs)
{
    if (job.held) {
        job.status = JobStatus::Waiting;
        return;
    }
    job.status = JobStatus::Running;
    job.startedMs = nowMs;
}

void end(ModelTransaction& transaction, SimJob& job, std::uint16_t status, std::int64_t nowMs)
{
    job.status = status;
    job.finishedMs = nowMs;
    touchJob(transaction, job.id);
}

// Takes back what a job that did not complete had put in place: a volume still being
// created goes away, a reconfiguration or growth is dropped.
void undo(ModelTransaction& transaction, const SimJob& job)
{
    ArrayState& state = transaction.state();
    auto volume = state.volumes.find(job.ownerId);
    if (volume == state.volumes.end())
        return;
    if (job.kind == JobKind::CreateVolume && !volume->second.ready) {
        VolumeActions::remove(transaction, job.ownerId);
    } else if (job.kind == JobKind::ReconfigureVolume || job.kind == JobKind::GrowVolume) {
        volume->second.reconfiguration.reset();
        transaction.touchVolume(job.ownerId);
    }
}

bool failsAt(const SimJob& job, std::uint16_t percent)
{
    return job.failure.armed && percent >= job.failure.atPercent;
}

} // namespace

std::string JobControl::start(ModelTransaction& transaction, JobKind kind, const std::string& ownerId, std::string name,
                              std::int64_t nowMs, std::int64_t scheduledStartMs)
{
    SimJob job;
    job.id = transaction.state().allocateId(IdPrefix::Job);
    job.kind = kind;
    job.ownerId = ownerId;
    job.name = std::move(name);
    job.createdMs = nowMs;
    SimNextJob& armed = transaction.state().nextJob;
    job.held = std::exchange(armed.hold, false);
    job.failure = std::exchange(armed.failure, {});
    if (scheduledStartMs > nowMs) {
        job.status = JobStatus::Scheduled;
        job.scheduledStartMs = scheduledStartMs;
    } else {
        begin(job, nowMs);
    }
    const std::string id = job.id;
    transaction.state().jobs.emplace(id, std::move(job));
    touchJob(transaction, id);
    return id;
}

void JobControl::applyEffect(ModelTransaction& transaction, JobKind kind, const std::string& ownerId)
{
    ArrayState& state = transaction.state();
    switch (kind) {
    case JobKind::CreateVolume:
        if (auto volume = state.volumes.find(ownerId); volume != state.volumes.end()) {
            volume->second.ready = true;
            transaction.touchVolume(ownerId);
        }
        return;
    case JobKind::ReconfigureVolume:
    case JobKind::GrowVolume:
        if (auto volume = state.volumes.find(ownerId); volume != state.volumes.end()) {
            if (volume->second.reconfiguration) {
                volume->second.layout = volume->second.reconfiguration->layout;
                volume->second.reconfiguration.reset();
            }
            transaction.touchVolume(ownerId);
        }
        return;
    case JobKind::RemoveDisk:
        if (auto disk = state.disks.find(ownerId); disk != state.disks.end()) {
            disk->second.online = false;
            disk->second.poolId = PoolId::Unavailable;
            transaction.touchDisk(ownerId);
            EventLog::record(transaction, EventSeverity::Degraded, EventCategory::Disk,
                             "Disk in slot " + std::to_string(disk->second.slot) + " removed");
        }
        return;
    case JobKind::InitializeDisk:
        if (auto disk = state.disks.find(ownerId); disk != state.disks.end()) {
            // A disk that was taken down comes back as a new, unused disk.
            if (!disk->second.online) {
                disk->second.online = true;
                disk->second.poolId = PoolId::Available;
                transaction.touchDisk(ownerId);
            }
            EventLog::record(transaction, EventSeverity::Information, EventCategory::Disk,
                             "Disk in slot " + std::to_string(disk->second.slot) + " initialized");
        }
        return;
    case JobKind::ScanVolume:
        return;
    case JobKind::RebuildVolume:
        if (auto volume = state.volumes.find(ownerId); volume != state.volumes.end()) {
            volume->second.rebuilding = false;
            transaction.touchVolume(ownerId);
            EventLog::record(transaction, EventSeverity::Information, EventCategory::Volume,
                             "Volume " + volume->second.name + " rebuilt");
        }
        return;
    }
}

void JobControl::complete(ModelTransaction& transaction, SimJob& job, std::int64_t nowMs)
{
    job.status = JobStatus::Completed;
    job.percentComplete = 100;
    job.finishedMs = nowMs;
    touchJob(transaction, job.id);
    applyEffect(transaction, job.kind, job.ownerId);
}

void JobControl::cancel(ModelTransaction& transaction, SimJob& job, std::int64_t nowMs)
{
    end(transaction, job, JobStatus::Cancelled, nowMs);
    undo(transaction, job);
}

void JobControl::fail(ModelTransaction& transaction, SimJob& job, std::int64_t nowMs)
{
    job.percentComplete = job.failure.atPercent;
    end(transaction, job, JobStatus::Failed, nowMs);
    EventLog::record(transaction, EventSeverity::Major, EventCategory::Task, "Task '" + job.name + "' failed");
    undo(transaction, job);
}

std::size_t JobControl::release(ModelTransaction& transaction, std::int64_t nowMs)
{
    std::size_t released = 0;
    for (auto& [id, job] : transaction.state().jobs) {
        if (!job.held || isFinished(job))
            continue;
        job.held = false;
        ++released;
        if (job.status == JobStatus::Waiting) {
            begin(job, nowMs);
            touchJob(transaction, id);
        }
    }
    return released;
}

bool JobControl::isActive(const SimJob& job)
{
    return job.status == JobStatus::Running || job.status == JobStatus::Paused ||
           job.status == JobStatus::Scheduled || job.status == JobStatus::Waiting;
}

void JobControl::advance(ModelTransaction& transaction, std::int64_t elapsedMs, std::int64_t nowMs,
                         std::uint32_t jobMs, std::uint32_t keepMs)
{
    ArrayState& state = transaction.state();
    std::vector<std::string> expired;
    for (auto& [id, job] : state.jobs) {
        if (job.status == JobStatus::Scheduled && job.scheduledStartMs <= nowMs) {
            begin(job, nowMs);
            touchJob(transaction, id);
            continue;
        }
        if (job.status == JobStatus::Running) {
            job.runMs += elapsedMs;
            const std::uint16_t percent = percentAfter(job.runMs, jobMs);
            if (failsAt(job, percent)) {
                fail(transaction, job, nowMs);
            } else if (percent >= 100) {
                complete(transaction, job, nowMs);
            } else if (percent != job.percentComplete) {
                job.percentComplete = percent;
                touchJob(transaction, id);
            }
            continue;
        }
        if (isFinished(job) && nowMs - job.finishedMs >= static_cast<std::int64_t>(keepMs))
            expired.push_back(id);
    }
    for (const std::string& id : expired) {
        touchJob(transaction, id);
        state.jobs.erase(id);
    }
}

} // namespace Merrow::Sim
