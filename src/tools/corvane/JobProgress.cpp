#include "JobProgress.h"

#include "user_agent/attributes/AttributeValue.h"
#include "user_agent/attributes/ServiceAttributes.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace corvane {
namespace {

using Merrow::UserAgent::AttributeValue;
using Merrow::UserAgent::ServiceAttributes;
using R = MerrowReturnValue;

constexpr auto kPollInterval = std::chrono::milliseconds(200);
constexpr int kBarWidth = 40;

bool isActive(const std::string& state) {
    return state == "Running" || state == "Waiting" || state == "Scheduled" || state == "Paused";
}

bool isFinal(const std::string& state) {
    return state == "Completed" || state == "Failed" || state == "Cancelled";
}

std::string read(const MerrowService& service, const char* name, R& result) {
    std::string text;
    result = ServiceAttributes::Get(service, name, text);
    return text;
}

} // namespace

R JobProgress::findJob(const MerrowService& system, const std::string& objectName, MerrowService& task) {
    AttributeValue list;
    R result = ServiceAttributes::GetValue(system, "TaskList", list);
    AttributeValue tasks;
    if (!result.isFailure() && !list.services().empty())
        result = ServiceAttributes::GetValue(list.services().front(), "Tasks", tasks);
    if (result.isFailure())
        return result;
    for (const MerrowService& candidate : tasks.services()) {
        R read1, read2;
        if (read(candidate, "ObjectName", read1) == objectName && isActive(read(candidate, "State", read2))) {
            task = candidate;
            return R();
        }
    }
    return R(R::UA_S_FALSE);
}

R JobProgress::follow(const MerrowService& system, const std::string& objectName, bool wait) {
    MerrowService task;
    const R found = findJob(system, objectName, task);
    if (found.isFailure() || found.getCode() == R::UA_S_FALSE)
        return found.isFailure() ? found : R();
    if (!wait) {
        R ignored;
        m_err << "job " << read(task, "TaskID", ignored) << " on '" << objectName << "' runs on the array ("
              << read(task, "PercentComplete", ignored) << "%); --wait follows it\n";
        return R();
    }
    return waitFor(task);
}

R JobProgress::waitFor(const MerrowService& task) {
    R result;
    const std::string taskId = read(task, "TaskID", result);
    MerrowService current = task;
    while (!m_stop.load()) {
        current.Refresh(); // read the job afresh rather than from the cache
        const std::string state = read(task, "State", result);
        if (result.getCode() == R::UA_E_SERVICE_REMOVED)
            break; // the array dropped the finished job
        if (result.isFailure())
            return result;
        R percentRead;
        const std::string percent = read(task, "PercentComplete", percentRead);
        if (!percentRead.isFailure())
            show(taskId, static_cast<unsigned>(std::strtoul(percent.c_str(), nullptr, 10)));
        if (state == "Failed") {
            R ignored;
            return R(R::UA_E_FAIL, "job " + taskId + " failed: " + read(task, "ErrorDescription", ignored));
        }
        if (isFinal(state))
            break;
        std::this_thread::sleep_for(kPollInterval);
    }
    if (m_terminal)
        m_err << "\n";
    return m_stop.load() ? R(R::UA_E_ABORT, "stopped waiting; the job goes on on the array") : R();
}

void JobProgress::show(const std::string& taskId, unsigned percent) {
    if (static_cast<int>(percent) == m_shown)
        return;
    m_shown = static_cast<int>(percent);
    if (!m_terminal) {
        m_err << "job " << taskId << ": " << percent << "%\n";
        return;
    }
    const int filled = static_cast<int>(percent) * kBarWidth / 100;
    m_err << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, ' ') << "] " << percent << "%"
          << std::flush;
}

} // namespace corvane
