#include "sim/ProjectionContext.h"

#include "sim/CimJson.h"

namespace Merrow::Sim {

ProjectionContext::ProjectionContext(const ArrayState& state, const ModelNames& names, std::string managementAddress)
    : state(state), names(names), managementAddress(std::move(managementAddress))
{
}

InstanceBuilder ProjectionContext::device(const char* className, const std::string& deviceId) const
{
    return deviceOf(className, names.systemName(), deviceId);
}

InstanceBuilder ProjectionContext::deviceOf(const char* className, const std::string& systemName,
                                            const std::string& deviceId) const
{
    InstanceBuilder builder(className);
    builder.set("SystemCreationClassName", "CIM_ComputerSystem")
        .set("SystemName", systemName)
        .set("CreationClassName", className)
        .set("DeviceID", deviceId);
    return builder;
}

InstanceBuilder ProjectionContext::accessPoint(const char* className, const std::string& systemName,
                                               const std::string& name) const
{
    InstanceBuilder builder(className);
    builder.set("SystemCreationClassName", "CIM_ComputerSystem")
        .set("SystemName", systemName)
        .set("CreationClassName", className)
        .set("Name", name);
    return builder;
}

InstanceBuilder ProjectionContext::service(const char* className, const char* name) const
{
    InstanceBuilder builder(className);
    builder.set("SystemCreationClassName", "CIM_ComputerSystem")
        .set("SystemName", names.systemName())
        .set("CreationClassName", className)
        .set("Name", name);
    return builder;
}

void ProjectionContext::applySettings(cim::CIMInstance& instance, const std::map<std::string, nlohmann::json>& settings)
{
    for (const auto& [name, json] : settings) {
        try {
            instance.setPropertyValue(cim::CIMName(name), CimJson::valueFromJson(json));
        } catch (const std::exception&) {
            // A state file edited by hand may carry a value of the wrong type; the default stays.
        }
    }
}

std::map<std::string, nlohmann::json> ProjectionContext::systemSettings(const std::string& instanceId) const
{
    std::map<std::string, nlohmann::json> settings;
    auto found = state.system.settings.find(instanceId);
    if (found == state.system.settings.end() || !found->second.is_object())
        return settings;
    for (const auto& [name, value] : found->second.items())
        settings.emplace(name, value);
    return settings;
}

ProjectedLink ProjectionContext::link(const char* associationClass, std::string antecedent, std::string dependent,
                                      std::string narrowFarEndTo)
{
    return ProjectedLink{associationClass, {std::move(antecedent), std::move(dependent)}, std::move(narrowFarEndTo)};
}

} // namespace Merrow::Sim
