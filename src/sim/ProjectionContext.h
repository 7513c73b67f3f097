#pragma once

// What every projection needs: the state being projected, the names of the derived
// objects, and the small builders for the shapes that repeat (devices, access points,
// services, links).

#include "sim/ArrayState.h"
#include "sim/InstanceBuilder.h"
#include "sim/InstanceStore.h"
#include "sim/ModelNames.h"

#include <nlohmann/json.hpp>

#include <map>
#include <string>

namespace Merrow::Sim {

class ProjectionContext {
public:
    ProjectionContext(const ArrayState& state, const ModelNames& names, std::string managementAddress);

    const ArrayState& state;
    const ModelNames& names;
    // The address the array's management port answers on: the simulator's listen address.
    const std::string managementAddress;

    // A CIM_LogicalDevice subclass instance with its four keys, on the top system unless
    // another system is named.
    InstanceBuilder device(const char* className, const std::string& deviceId) const;
    InstanceBuilder deviceOf(const char* className, const std::string& systemName, const std::string& deviceId) const;
    // A CIM_ServiceAccessPoint subclass instance with its four keys.
    InstanceBuilder accessPoint(const char* className, const std::string& systemName, const std::string& name) const;
    InstanceBuilder service(const char* className, const char* name) const;

    // Replaces properties with the values clients set (property name -> CimJson value).
    // A stored value that no longer fits the property's type is left out.
    static void applySettings(cim::CIMInstance& instance, const std::map<std::string, nlohmann::json>& settings);
    // The settings clients changed on the system-wide settings object `instanceId`.
    std::map<std::string, nlohmann::json> systemSettings(const std::string& instanceId) const;

    static ProjectedLink link(const char* associationClass, std::string antecedent, std::string dependent,
                              std::string narrowFarEndTo = {});
};

} // namespace Merrow::Sim
