#include "sim/ArrayStateJson.h"

#include <stdexcept>

namespace Merrow::Sim {

NLOHMANN_JSON_SERIALIZE_ENUM(VolumeOrganization, {
                                                     {VolumeOrganization::Unknown, "Unknown"},
                                                     {VolumeOrganization::Jbod, "JBOD"},
                                                     {VolumeOrganization::Stripe, "Stripe"},
                                                     {VolumeOrganization::Mirror, "Mirror"},
                                                     {VolumeOrganization::StripeMirror, "StripeMirror"},
                                                     {VolumeOrganization::Parity, "Parity"},
                                                 })

NLOHMANN_JSON_SERIALIZE_ENUM(JobKind, {
                                          {JobKind::CreateVolume, "CreateVolume"},
                                          {JobKind::ReconfigureVolume, "ReconfigureVolume"},
                                          {JobKind::GrowVolume, "GrowVolume"},
                                          {JobKind::InitializeDisk, "InitializeDisk"},
                                          {JobKind::RemoveDisk, "RemoveDisk"},
                                          {JobKind::ScanVolume, "ScanVolume"},
                                          {JobKind::RebuildVolume, "RebuildVolume"},
                                      })

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimDisk, id, slot, blocks, serialNumber, model, vendor,
                                                firmwareRevision, poolId, online, failed)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimExtent, id, diskId, blocks)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimVolumeLayout, organization, stripeWidth, chunkBytes,
                                                blocks, extents)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimReconfiguration, shadowId, layout)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimTarget, id, name, iqn, secret, primaryAuthentication,
                                                secondaryAuthentication, settings)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimInitiator, id, name, elementName, secret)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimGrant, id, initiatorId, volumeId)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimSession, id, connectionId, initiatorName, volumeId,
                                                portalId, isid)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimPort, id, controller, number, macAddress, enabled)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimLag, id, controller, name, macAddress, portIds,
                                                vlanEnabled, autoSense, frameType, requestedState, speed, mtu)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimPortal, id, lagId, ipAddress, subnetMask, gateway,
                                                vlanId, tcpPort)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimRoute, id, destination, subnetMask, gateway)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimJobFailure, armed, atPercent, errorCode, errorDescription)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimJob, id, kind, ownerId, name, status, percentComplete,
                                                priority, createdMs, startedMs, scheduledStartMs, finishedMs,
                                                runMs, periodicityType, periodicity, scanType, held, failure)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimAccount, id, userId, password, role)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimLogRecord, id, timeMs, severity, category, message)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(SimSystem, serialNumber, name, firmwareVersion, activeSlot,
                                                settings)

// A volume carries an optional reconfiguration, which the macros above cannot express.
void to_json(nlohmann::json& json, const SimVolume& volume)
{
    json = {{"id", volume.id},           {"name", volume.name},     {"durableName", volume.durableName},
            {"poolId", volume.poolId},   {"layout", volume.layout}, {"ready", volume.ready},
            {"target", volume.target}};
    if (volume.reconfiguration)
        json["reconfiguration"] = *volume.reconfiguration;
    if (!volume.settings.empty())
        json["settings"] = volume.settings;
    if (volume.rebuilding)
        json["rebuilding"] = true;
}

void from_json(const nlohmann::json& json, SimVolume& volume)
{
    volume = SimVolume{};
    json.at("id").get_to(volume.id);
    volume.name = json.value("name", std::string{});
    volume.durableName = json.value("durableName", std::string{});
    volume.poolId = json.value("poolId", std::string{});
    volume.ready = json.value("ready", true);
    volume.rebuilding = json.value("rebuilding", false);
    if (json.contains("layout"))
        json.at("layout").get_to(volume.layout);
    if (json.contains("target"))
        json.at("target").get_to(volume.target);
    if (json.contains("reconfiguration"))
        volume.reconfiguration = json.at("reconfiguration").get<SimReconfiguration>();
    if (json.contains("settings"))
        json.at("settings").get_to(volume.settings);
}

namespace {

// Collections are written as arrays in id order and read back into maps keyed by id.
template <typename T>
nlohmann::json listOf(const std::map<std::string, T>& items)
{
    nlohmann::json list = nlohmann::json::array();
    for (const auto& [id, item] : items)
        list.push_back(item);
    return list;
}

template <typename T>
void readList(const nlohmann::json& json, const char* name, std::map<std::string, T>& items)
{
    items.clear();
    if (!json.contains(name))
        return;
    for (const nlohmann::json& entry : json.at(name)) {
        T item = entry.get<T>();
        std::string id = item.id;
        items.emplace(std::move(id), std::move(item));
    }
}

} // namespace

nlohmann::json ArrayStateJson::toJson(const ArrayState& state)
{
    return {
        {"format", kFormatVersion},
        {"system", state.system},
        {"disks", listOf(state.disks)},
        {"volumes", listOf(state.volumes)},
        {"initiators", listOf(state.initiators)},
        {"grants", listOf(state.grants)},
        {"sessions", listOf(state.sessions)},
        {"ports", listOf(state.ports)},
        {"lags", listOf(state.lags)},
        {"portals", listOf(state.portals)},
        {"routes", listOf(state.routes)},
        {"jobs", listOf(state.jobs)},
        {"listenerObjects", state.listenerObjects},
        {"accounts", listOf(state.accounts)},
        {"events", listOf(state.events)},
        {"nextId", state.nextId},
    };
}

ArrayState ArrayStateJson::fromJson(const nlohmann::json& json)
{
    if (!json.is_object())
        throw std::invalid_argument("the state is not a JSON object");
    const int format = json.value("format", 0);
    if (format != kFormatVersion)
        throw std::invalid_argument("unknown state format " + std::to_string(format));

    ArrayState state;
    json.at("system").get_to(state.system);
    readList(json, "disks", state.disks);
    readList(json, "volumes", state.volumes);
    readList(json, "initiators", state.initiators);
    readList(json, "grants", state.grants);
    readList(json, "sessions", state.sessions);
    readList(json, "ports", state.ports);
    readList(json, "lags", state.lags);
    readList(json, "portals", state.portals);
    readList(json, "routes", state.routes);
    readList(json, "jobs", state.jobs);
    readList(json, "accounts", state.accounts);
    readList(json, "events", state.events);
    if (json.contains("listenerObjects"))
        json.at("listenerObjects").get_to(state.listenerObjects);
    if (json.contains("nextId"))
        json.at("nextId").get_to(state.nextId);
    return state;
}

} // namespace Merrow::Sim
