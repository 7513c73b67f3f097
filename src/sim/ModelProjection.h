#pragma once

// Derives the CIM content of the array from its state, one group at a time. A group is
// named after the object of the state it comes from ("volume:3a000001"); projecting a group
// whose object is gone gives an empty group, which deletes what the group held.

#include "sim/ArrayState.h"
#include "sim/InstanceStore.h"
#include "sim/ModelNames.h"

#include <string>
#include <vector>

namespace Merrow::Sim {

namespace GroupKind {
inline constexpr const char* System = "system";
inline constexpr const char* Pool = "pool";
inline constexpr const char* Disk = "disk";
inline constexpr const char* Volume = "volume";
inline constexpr const char* Job = "job";
inline constexpr const char* Initiator = "initiator";
inline constexpr const char* Grant = "grant";
inline constexpr const char* Session = "session";
inline constexpr const char* Port = "port";
inline constexpr const char* Lag = "lag";
inline constexpr const char* Portal = "portal";
inline constexpr const char* Route = "route";
inline constexpr const char* Listener = "listener";
// The policy and external connection settings, the account service and the event log.
inline constexpr const char* Administration = "administration";
inline constexpr const char* Account = "account";
inline constexpr const char* Event = "event";
} // namespace GroupKind

class ModelProjection {
public:
    ModelProjection(const ArrayState& state, const ModelNames& names, std::string managementAddress);

    static std::string group(const char* kind, const std::string& id);

    // The content of a group of the storage namespace.
    ProjectedGroup project(const std::string& group) const;
    // Every group the state has, in the order a first projection must create them.
    std::vector<std::string> allGroups() const;
    // The content of the internal namespace (the keep-alive probe's settings).
    ProjectedGroup internalSettings() const;

private:
    ProjectedGroup listenerObject(const std::string& id) const;

    const ArrayState& m_state;
    const ModelNames& m_names;
    const std::string m_managementAddress;
};

} // namespace Merrow::Sim
