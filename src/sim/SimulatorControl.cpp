#include "sim/SimulatorControl.h"

#include "sim/AccessMethods.h"
#include "sim/ArrayFailureCodes.h"
#include "sim/DefaultArray.h"
#include "sim/DiskFailure.h"
#include "sim/EventLog.h"
#include "sim/JobControl.h"
#include "sim/SystemMethods.h"
#include "sim/VolumeActions.h"

#include <chrono>
#include <cstdio>

namespace Merrow::Sim {

namespace {

SimVolume* findVolume(ArrayState& state, const std::string& nameOrId)
{
    auto byId = state.volumes.find(nameOrId);
    if (byId != state.volumes.end())
        return &byId->second;
    for (auto& [id, volume] : state.volumes) {
        if (volume.name == nameOrId)
            return &volume;
    }
    return nullptr;
}

} // namespace

SimulatorControl::SimulatorControl(ArrayModel& model, FaultControl& faults, RequestCounters& counters,
                                   MethodCallLog& calls, SimulatorSettings& settings)
    : m_model(model), m_faults(faults), m_counters(counters), m_calls(calls), m_settings(settings)
{
}

void SimulatorControl::setFirmwareVersion(const std::string& version)
{
    m_model.update([&](ModelTransaction& transaction) {
        transaction.state().system.firmwareVersion = version;
        transaction.touch(GroupKind::System);
    });
}

std::string SimulatorControl::firmwareVersion() const
{
    return m_model.read([](const ModelView& view) { return view.state.system.firmwareVersion; });
}

void SimulatorControl::failover()
{
    m_model.update([](ModelTransaction& transaction) { SystemMethods::failover(transaction); });
}

std::uint16_t SimulatorControl::activeSlot() const
{
    return m_model.read([](const ModelView& view) { return view.state.system.activeSlot; });
}

std::vector<std::string> SimulatorControl::addDisks(unsigned count, std::uint64_t bytes)
{
    return m_model.update([&](ModelTransaction& transaction) {
        std::vector<std::string> ids;
        for (unsigned i = 0; i < count; ++i) {
            ids.push_back(DefaultArray::addDisk(transaction.state(), bytes));
            transaction.touchDisk(ids.back());
            EventLog::record(transaction, EventSeverity::Information, EventCategory::Disk,
                             "Disk inserted in slot " +
                                 std::to_string(transaction.state().disks.at(ids.back()).slot));
        }
        return ids;
    });
}

ControlResult SimulatorControl::removeDisk(const std::string& deviceId)
{
    return m_model.update([&](ModelTransaction& transaction) {
        ArrayState& state = transaction.state();
        if (state.disks.count(deviceId) == 0)
            return ControlResult::NotFound;
        if (VolumeActions::usesDisk(state, deviceId))
            return ControlResult::Refused;
        transaction.touchDisk(deviceId);
        EventLog::record(transaction, EventSeverity::Degraded, EventCategory::Disk,
                         "Disk in slot " + std::to_string(state.disks.at(deviceId).slot) + " pulled out");
        state.disks.erase(deviceId);
        return ControlResult::Ok;
    });
}

ControlResult SimulatorControl::failDisk(const std::string& deviceId)
{
    return m_model.update([&](ModelTransaction& transaction) {
        auto disk = transaction.state().disks.find(deviceId);
        if (disk == transaction.state().disks.end())
            return ControlResult::NotFound;
        if (!disk->second.online || disk->second.failed)
            return ControlResult::Refused;
        DiskFailure::fail(transaction, deviceId);
        return ControlResult::Ok;
    });
}

ControlResult SimulatorControl::makeSpare(const std::string& deviceId)
{
    return m_model.update([&](ModelTransaction& transaction) {
        ArrayState& state = transaction.state();
        auto disk = state.disks.find(deviceId);
        if (disk == state.disks.end())
            return ControlResult::NotFound;
        if (!disk->second.online || disk->second.failed || VolumeActions::usesDisk(state, deviceId))
            return ControlResult::Refused;
        disk->second.poolId = PoolId::Spare;
        transaction.touchDisk(deviceId);
        return ControlResult::Ok;
    });
}

ControlResult SimulatorControl::addVolume(const std::string& name, std::uint64_t bytes, std::string& deviceId)
{
    return m_model.update([&](ModelTransaction& transaction) {
        ArrayState& state = transaction.state();
        if (name.empty() || state.findVolumeByName(name) != nullptr)
            return ControlResult::Refused;
        deviceId = DefaultArray::addVolume(state, name, bytes, PoolId::BaseA);
        if (deviceId.empty())
            return ControlResult::Refused;
        transaction.touchVolume(deviceId);
        VolumeActions::recordCreation(transaction, deviceId, name);
        return ControlResult::Ok;
    });
}

ControlResult SimulatorControl::removeVolume(const std::string& nameOrId)
{
    return m_model.update([&](ModelTransaction& transaction) {
        SimVolume* volume = findVolume(transaction.state(), nameOrId);
        if (volume == nullptr)
            return ControlResult::NotFound;
        VolumeActions::remove(transaction, volume->id);
        return ControlResult::Ok;
    });
}

ControlResult SimulatorControl::renameVolume(const std::string& nameOrId, const std::string& newName)
{
    return m_model.update([&](ModelTransaction& transaction) {
        SimVolume* volume = findVolume(transaction.state(), nameOrId);
        if (volume == nullptr)
            return ControlResult::NotFound;
        if (newName.empty() || transaction.state().findVolumeByName(newName) != nullptr)
            return ControlResult::Refused;
        volume->name = newName;
        transaction.touchVolume(volume->id);
        return ControlResult::Ok;
    });
}

ControlResult SimulatorControl::growVolume(const std::string& nameOrId, std::uint64_t bytes)
{
    return m_model.update([&](ModelTransaction& transaction) {
        ArrayState& state = transaction.state();
        SimVolume* volume = findVolume(state, nameOrId);
        if (volume == nullptr)
            return ControlResult::NotFound;
        const std::uint64_t blocks = VolumeLayout::blocksForBytes(bytes);
        if (blocks <= volume->layout.blocks || volume->reconfiguration)
            return ControlResult::Refused;
        SimVolumeLayout grown;
        if (VolumeActions::grownLayout(state, *volume, blocks, grown) != 0)
            return ControlResult::Refused;
        volume->layout = std::move(grown);
        transaction.touchVolume(volume->id);
        return ControlResult::Ok;
    });
}

ControlResult SimulatorControl::setTargetChap(const std::string& nameOrId, bool required)
{
    return m_model.update([&](ModelTransaction& transaction) {
        SimVolume* volume = findVolume(transaction.state(), nameOrId);
        if (volume == nullptr)
            return ControlResult::NotFound;
        const std::uint16_t method = required ? AuthMethod::Chap : AuthMethod::None;
        volume->target.primaryAuthentication = method;
        volume->target.secondaryAuthentication = method;
        transaction.touchVolume(volume->id);
        return ControlResult::Ok;
    });
}

ControlResult SimulatorControl::addInitiator(const std::string& name, std::string& instanceId)
{
    return m_model.update([&](ModelTransaction& transaction) {
        ArrayState& state = transaction.state();
        if (!AccessMethods::isLegalInitiatorName(name) || state.findInitiatorByName(name) != nullptr)
            return ControlResult::Refused;
        instanceId = DefaultArray::addInitiator(state, name);
        transaction.touchInitiator(instanceId);
        return ControlResult::Ok;
    });
}

ControlResult SimulatorControl::removeInitiator(const std::string& name)
{
    return m_model.update([&](ModelTransaction& transaction) {
        ArrayState& state = transaction.state();
        const SimInitiator* initiator = state.findInitiatorByName(name);
        if (initiator == nullptr)
            return ControlResult::NotFound;
        const std::string id = initiator->id;
        transaction.touchInitiator(id);
        std::erase_if(state.grants, [&](const auto& item) { return item.second.initiatorId == id; });
        state.initiators.erase(id);
        return ControlResult::Ok;
    });
}

ControlResult SimulatorControl::addSession(const std::string& initiatorName, const std::string& volume,
                                           std::string& sessionId)
{
    return m_model.update([&](ModelTransaction& transaction) {
        ArrayState& state = transaction.state();
        const SimVolume* target = findVolume(state, volume);
        if (target == nullptr)
            return ControlResult::NotFound;
        if (!AccessMethods::isLegalInitiatorName(initiatorName))
            return ControlResult::Refused;
        SimSession session;
        session.id = state.allocateId(IdPrefix::Session);
        session.connectionId = state.allocateId(IdPrefix::Connection);
        session.initiatorName = initiatorName;
        session.volumeId = target->id;
        session.portalId = state.portals.empty() ? std::string() : state.portals.begin()->first;
        char isid[16];
        std::snprintf(isid, sizeof isid, "4000013700%02x", static_cast<unsigned>(state.sessions.size() & 0xFF));
        session.isid = isid;
        sessionId = session.id;
        state.sessions.emplace(session.id, session);
        transaction.touch(ModelProjection::group(GroupKind::Session, sessionId));
        return ControlResult::Ok;
    });
}

ControlResult SimulatorControl::removeSession(const std::string& sessionOrInitiator)
{
    return m_model.update([&](ModelTransaction& transaction) {
        ArrayState& state = transaction.state();
        bool removed = false;
        for (auto it = state.sessions.begin(); it != state.sessions.end();) {
            if (it->first == sessionOrInitiator || it->second.initiatorName == sessionOrInitiator) {
                transaction.touch(ModelProjection::group(GroupKind::Session, it->first));
                it = state.sessions.erase(it);
                removed = true;
            } else {
                ++it;
            }
        }
        return removed ? ControlResult::Ok : ControlResult::NotFound;
    });
}

void SimulatorControl::setJobs(bool enabled, std::uint32_t milliseconds)
{
    m_settings.jobsEnabled = enabled;
    m_settings.jobMilliseconds = milliseconds;
}

ControlResult SimulatorControl::failNextJob(std::uint32_t code, const std::string& description, std::uint16_t atPercent)
{
    if (atPercent >= 100 || code == ArrayFailure::Ok || code == ArrayFailure::JobStarted)
        return ControlResult::Refused;
    SimJobFailure failure;
    failure.armed = true;
    failure.atPercent = atPercent;
    failure.errorCode = code;
    failure.errorDescription = description.empty() ? ArrayFailureCodes::text(code) : description;
    m_model.update([&](ModelTransaction& transaction) { transaction.state().nextJob.failure = std::move(failure); });
    return ControlResult::Ok;
}

void SimulatorControl::holdNextJob()
{
    m_model.update([](ModelTransaction& transaction) { transaction.state().nextJob.hold = true; });
}

ControlResult SimulatorControl::releaseJobs()
{
    const auto nowMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    const std::size_t released =
        m_model.update([&](ModelTransaction& transaction) { return JobControl::release(transaction, nowMs); });
    return released == 0 ? ControlResult::NotFound : ControlResult::Ok;
}

} // namespace Merrow::Sim
