#include "ChangeWatcher.h"

#include "user_agent/attributes/AttributeValue.h"
#include "user_agent/attributes/ServiceAttributes.h"
#include "user_agent/base/DateTime.h"
#include "user_agent/indications/ServiceIndication.h"

#include <chrono>

namespace corvane {
namespace {

using Merrow::UserAgent::AttributeValue;
using Merrow::UserAgent::DateTime;
using Merrow::UserAgent::ServiceAttributes;
using Merrow::UserAgent::ServiceIndication;
using Merrow::UserAgent::UAIndication;
using R = MerrowReturnValue;

// Lists whose services learn of creations and deletions, walked from the system.
constexpr const char* kWatchedWalks[][2] = {
    {"VolumeList", "Volumes"}, {"DiskList", "Disks"}, {"PoolList", "Pools"},
    {"TaskList", "Tasks"},     {"iSCSI", "Initiators"}, {"iSCSI", "iSCSITargets"},
};

const char* changeName(const UAIndication& cause, std::int32_t code) {
    if (cause.GetKind() == UAIndication::IndicationKind_LostConnection)
        return "connection-lost";
    switch (cause.GetType()) {
    case UAIndication::CIMIndicationType_Creation: return "created";
    case UAIndication::CIMIndicationType_Deletion: return "deleted";
    case UAIndication::CIMIndicationType_Modification: return "modified";
    default: return code == ServiceIndication::ServiceRemoved ? "removed" : "changed";
    }
}

nlohmann::json describe(const ServiceIndication& indication) {
    const UAIndication& cause = indication.GetIndication();
    return {{"time", DateTime::now().toString()},
            {"service", indication.GetService().GetTypeName()},
            {"change", changeName(cause, indication.GetCode())},
            {"class", cause.GetSourceClassName()},
            {"object", cause.GetSourceObjectPath().toString()}};
}

} // namespace

void ChangeWatcher::keepWatching(const MerrowService& system) {
    m_watched.push_back(system);
    for (const auto& walk : kWatchedWalks) {
        AttributeValue list;
        if (ServiceAttributes::GetValue(system, walk[0], list).isFailure())
            continue;
        for (const MerrowService& service : list.services()) {
            m_watched.push_back(service);
            AttributeValue members;
            if (!ServiceAttributes::GetValue(service, walk[1], members).isFailure())
                for (const MerrowService& member : members.services())
                    m_watched.push_back(member);
        }
    }
}

R ChangeWatcher::run(MerrowService connection, const MerrowService& system) {
    std::uint32_t cookie = 0;
    R result = connection.AddServiceIndicationCallback(
        [this](std::uint32_t, const ServiceIndication& indication) {
            const std::lock_guard lock(m_mutex);
            m_changes.push_back(describe(indication));
            m_changed.notify_one();
        },
        cookie);
    if (result.isFailure())
        return result;
    keepWatching(system);
    if (!m_output.isJson()) {
        m_output.text("watching " + std::to_string(m_watched.size()) + " services; interrupt to stop\n");
        m_output.flush();
    }
    while (!m_stop.load()) {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(100), [this] { return !m_changes.empty(); });
        while (!m_changes.empty()) {
            const nlohmann::json change = std::move(m_changes.front());
            m_changes.pop_front();
            lock.unlock();
            print(change);
            lock.lock();
        }
    }
    connection.RemoveServiceIndicationCallback(cookie);
    return R();
}

void ChangeWatcher::print(const nlohmann::json& change) {
    if (m_output.isJson()) {
        m_output.line(change);
        return;
    }
    m_output.text(change["time"].get<std::string>() + "  " + change["change"].get<std::string>() + "  " +
                  change["class"].get<std::string>() + "  " + change["object"].get<std::string>() + "  (" +
                  change["service"].get<std::string>() + ")\n");
    m_output.flush();
}

} // namespace corvane
