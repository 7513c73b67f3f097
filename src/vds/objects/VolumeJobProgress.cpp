#include "vds/objects/VolumeJobProgress.h"

#include "user_agent/services/Service_Task.h"

#include <algorithm>

using namespace Merrow::UserAgent;

namespace {

// UAEnums::TaskState numbers.
constexpr std::int32_t kTaskFailed = 6;
constexpr std::int32_t kTaskCancelled = 14;
constexpr std::int32_t kTaskCompleted = 17;

bool hasEnded(std::int32_t state)
{
    return state == kTaskCompleted || state == kTaskFailed || state == kTaskCancelled;
}

struct TaskReading {
    std::string id;
    std::int32_t state = 0;
    std::uint16_t percent = 0;
};

// The volume's jobs as the array reports them now; false when they cannot be read.
bool readTasks(Service_Volume& volume, std::vector<TaskReading>& out)
{
    // The cached lists only follow indications; a poll must see the array's answer.
    volume.Refresh();
    std::vector<Service_Task> tasks;
    if (volume.GetTasks(tasks).isFailure())
        return false;
    for (Service_Task& task : tasks) {
        task.Refresh();
        TaskReading reading;
        UAEnums::TaskState state;
        if (task.GetTaskID(reading.id).isFailure() || task.GetState(state).isFailure())
            return false;
        reading.state = state.getValue();
        task.GetPercentComplete(reading.percent);
        out.push_back(reading);
    }
    return true;
}

} // namespace

VolumeJobProgress::VolumeJobProgress(const Service_Volume& volume,
                                     std::set<std::string> endedBefore)
    : m_Volume(volume), m_EndedBefore(std::move(endedBefore))
{
}

std::set<std::string> VolumeJobProgress::EndedJobs(const Service_Volume& volume)
{
    Service_Volume copy = volume;
    std::vector<TaskReading> tasks;
    std::set<std::string> ended;
    if (!readTasks(copy, tasks))
        return ended;
    for (const TaskReading& task : tasks) {
        if (hasEnded(task.state))
            ended.insert(task.id);
    }
    return ended;
}

AsyncProgressReading VolumeJobProgress::Read()
{
    std::vector<TaskReading> tasks;
    if (!readTasks(m_Volume, tasks))
        return {100, true, E_FAIL};
    AsyncProgressReading reading;
    bool followed = false;
    for (const TaskReading& task : tasks) {
        if (m_EndedBefore.count(task.id) != 0)
            continue;
        if (task.state == kTaskFailed || task.state == kTaskCancelled)
            return {100, true, E_FAIL};
        followed = true;
        if (hasEnded(task.state))
            continue;
        // Of several running jobs the one furthest behind tells how far the request is.
        reading.finished = false;
        reading.percentComplete = std::min<ULONG>(reading.percentComplete, task.percent);
    }
    // No job of the request is left to read: it ended, or it failed and the array undid a
    // creation, taking the volume and its jobs' links with it. Only a volume that is still
    // there tells the two apart.
    if (!followed && !volumeExists())
        return {100, true, E_FAIL};
    return reading;
}

bool VolumeJobProgress::volumeExists()
{
    StorageSize size;
    return !m_Volume.GetSize(size).isFailure();
}
