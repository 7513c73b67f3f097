#include "sim/ConfigurationData.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/ArrayStateJson.h"
#include "sim/DefaultArray.h"

#include <algorithm>

namespace Merrow::Sim {

namespace {

constexpr const char* kFormat = "corvane-configuration";
constexpr int kVersion = 1;

// Sections of the state the configuration carries.
const char* const kSections[] = {"volumes", "initiators", "grants", "ports", "lags", "portals", "routes"};
// Those the array builds only when it starts.
const char* const kStartUpSections[] = {"volumes", "ports", "lags", "portals", "routes"};

nlohmann::json managementPortOf(const ArrayState& state)
{
    auto found = state.system.settings.find(SettingId::OutbandPort);
    return found == state.system.settings.end() ? nlohmann::json() : found->second;
}

} // namespace

std::string ConfigurationData::exportText(const ArrayState& state)
{
    const nlohmann::json full = ArrayStateJson::toJson(state);
    nlohmann::json configuration{{"format", kFormat},
                                 {"version", kVersion},
                                 {"serialNumber", state.system.serialNumber},
                                 {"name", state.system.name},
                                 {"settings", full.at("system").at("settings")},
                                 {"nextId", full.at("nextId")}};
    for (const char* section : kSections)
        configuration[section] = full.at(section);
    return configuration.dump();
}

std::uint32_t ConfigurationData::import(ModelTransaction& transaction, const std::string& text, std::uint16_t setting)
{
    switch (setting) {
    case PersistenceSetting::FactoryDefault:
        return resetToDefaults(transaction, false);
    case PersistenceSetting::MostlyDefault:
        return resetToDefaults(transaction, true);
    case PersistenceSetting::Replace:
        return replace(transaction, text, false);
    case PersistenceSetting::ConditionalReplace:
        return replace(transaction, text, true);
    default:
        return ArrayFailure::InvalidParameter;
    }
}

std::uint32_t ConfigurationData::resetToDefaults(ModelTransaction& transaction, bool keepManagementPort)
{
    ArrayState& state = transaction.state();
    const nlohmann::json managementPort = managementPortOf(state);
    state.volumes.clear();
    state.initiators.clear();
    state.grants.clear();
    state.sessions.clear();
    state.system.name = "Corvane-" + state.system.serialNumber;
    state.system.settings.clear();
    if (keepManagementPort && !managementPort.is_null())
        state.system.settings[SettingId::OutbandPort] = managementPort;
    for (auto& [id, disk] : state.disks) {
        if (disk.online)
            disk.poolId = PoolId::BaseA;
    }
    DefaultArray::resetNetwork(state);
    transaction.touchAll();
    return kAppliedRestartNeeded;
}

bool ConfigurationData::fitsDisks(const ArrayState& state)
{
    for (const auto& [id, volume] : state.volumes) {
        for (const SimExtent& extent : volume.layout.extents) {
            if (state.disks.count(extent.diskId) == 0)
                return false;
        }
    }
    for (const auto& [id, disk] : state.disks) {
        std::uint64_t held = 0;
        for (const auto& [volumeId, volume] : state.volumes)
            held += state.blocksHeldBy(volume, id);
        if (held > disk.blocks)
            return false;
    }
    return true;
}

std::uint32_t ConfigurationData::replace(ModelTransaction& transaction, const std::string& text, bool onlySameChassis)
{
    ArrayState& state = transaction.state();
    nlohmann::json configuration = nlohmann::json::parse(text, nullptr, false);
    if (!configuration.is_object() || configuration.value("format", "") != kFormat ||
        configuration.value("version", 0) != kVersion)
        return ArrayFailure::BadMessageFormat;
    if (onlySameChassis && configuration.value("serialNumber", "") != state.system.serialNumber)
        return ArrayFailure::InvalidRequest;

    ArrayState replaced;
    try {
        nlohmann::json full = ArrayStateJson::toJson(state);
        for (const char* section : kSections) {
            if (configuration.contains(section))
                full[section] = configuration.at(section);
        }
        full["system"]["name"] = configuration.value("name", state.system.name);
        if (configuration.contains("settings"))
            full["system"]["settings"] = configuration.at("settings");
        full["sessions"] = nlohmann::json::array();
        replaced = ArrayStateJson::fromJson(full);
    } catch (const std::exception&) {
        return ArrayFailure::BadMessageFormat;
    }
    if (!fitsDisks(replaced))
        return ArrayFailure::InvalidParameter;
    // Ids are never reused, whatever the data says.
    if (configuration.contains("nextId") && configuration.at("nextId").is_object()) {
        for (const auto& [prefix, next] : configuration.at("nextId").items()) {
            if (next.is_number_unsigned())
                replaced.nextId[prefix] = std::max(replaced.nextId[prefix], next.get<std::uint32_t>());
        }
    }

    const bool restart = restartNeeded(state, replaced);
    state = std::move(replaced);
    transaction.touchAll();
    return restart ? kAppliedRestartNeeded : kApplied;
}

bool ConfigurationData::restartNeeded(const ArrayState& before, const ArrayState& after)
{
    if (managementPortOf(before) != managementPortOf(after))
        return true;
    const nlohmann::json was = ArrayStateJson::toJson(before);
    const nlohmann::json will = ArrayStateJson::toJson(after);
    for (const char* section : kStartUpSections) {
        if (was.at(section) != will.at(section))
            return true;
    }
    return false;
}

} // namespace Merrow::Sim
