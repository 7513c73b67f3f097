#include "sim/ModelProjection.h"

#include "sim/AdministrationProjection.h"
#include "sim/CimJson.h"
#include "sim/IscsiProjection.h"
#include "sim/NetworkProjection.h"
#include "sim/ProjectionContext.h"
#include "sim/StorageProjection.h"
#include "sim/SystemProjection.h"

#include "trace/Trace.h"

namespace Merrow::Sim {

ModelProjection::ModelProjection(const ArrayState& state, const ModelNames& names, std::string managementAddress)
    : m_state(state), m_names(names), m_managementAddress(std::move(managementAddress))
{
}

std::string ModelProjection::group(const char* kind, const std::string& id)
{
    return std::string(kind) + ":" + id;
}

ProjectedGroup ModelProjection::project(const std::string& group) const
{
    const ProjectionContext context(m_state, m_names, m_managementAddress);
    if (group == GroupKind::System)
        return SystemProjection(context).system();
    if (group == GroupKind::Administration)
        return AdministrationProjection(context).administration();
    const auto colon = group.find(':');
    if (colon == std::string::npos)
        return {};
    const std::string kind = group.substr(0, colon);
    const std::string id = group.substr(colon + 1);
    if (kind == GroupKind::Pool)
        return SystemProjection(context).pool(id);
    if (kind == GroupKind::Disk)
        return StorageProjection(context).disk(id);
    if (kind == GroupKind::Volume)
        return StorageProjection(context).volume(id);
    if (kind == GroupKind::Job)
        return StorageProjection(context).job(id);
    if (kind == GroupKind::Initiator)
        return IscsiProjection(context).initiator(id);
    if (kind == GroupKind::Grant)
        return IscsiProjection(context).grant(id);
    if (kind == GroupKind::Session)
        return IscsiProjection(context).session(id);
    if (kind == GroupKind::Port)
        return NetworkProjection(context).port(id);
    if (kind == GroupKind::Lag)
        return NetworkProjection(context).lag(id);
    if (kind == GroupKind::Portal)
        return NetworkProjection(context).portal(id);
    if (kind == GroupKind::Route)
        return NetworkProjection(context).route(id);
    if (kind == GroupKind::Listener)
        return listenerObject(id);
    if (kind == GroupKind::Account)
        return AdministrationProjection(context).account(id);
    if (kind == GroupKind::Event)
        return AdministrationProjection(context).event(id);
    return {};
}

ProjectedGroup ModelProjection::listenerObject(const std::string& id) const
{
    ProjectedGroup group;
    auto found = m_state.listenerObjects.find(id);
    if (found == m_state.listenerObjects.end())
        return group;
    try {
        group.objects.push_back(CimJson::instanceFromJson(found->second));
    } catch (const std::exception& e) {
        MWTRACE(3, "TC.Sim.Model") << "dropping unreadable listener object " << id << ": " << e.what() << MWENDREC;
    }
    return group;
}

std::vector<std::string> ModelProjection::allGroups() const
{
    std::vector<std::string> groups{GroupKind::System};
    for (const std::string& poolId : SystemProjection::poolIds())
        groups.push_back(group(GroupKind::Pool, poolId));
    auto addAll = [&](const char* kind, const auto& items) {
        for (const auto& [id, item] : items)
            groups.push_back(group(kind, id));
    };
    addAll(GroupKind::Disk, m_state.disks);
    addAll(GroupKind::Volume, m_state.volumes);
    addAll(GroupKind::Initiator, m_state.initiators);
    addAll(GroupKind::Grant, m_state.grants);
    addAll(GroupKind::Lag, m_state.lags);
    addAll(GroupKind::Port, m_state.ports);
    addAll(GroupKind::Portal, m_state.portals);
    addAll(GroupKind::Session, m_state.sessions);
    addAll(GroupKind::Route, m_state.routes);
    addAll(GroupKind::Job, m_state.jobs);
    addAll(GroupKind::Listener, m_state.listenerObjects);
    groups.push_back(GroupKind::Administration);
    addAll(GroupKind::Account, m_state.accounts);
    addAll(GroupKind::Event, m_state.events);
    return groups;
}

ProjectedGroup ModelProjection::internalSettings() const
{
    ProjectedGroup group;
    const char* const settings[][2] = {{"traceLevel", "1"}, {"traceComponents", ""}, {"logLevel", "INFORMATION"}};
    for (const auto& [name, value] : settings) {
        group.objects.push_back(InstanceBuilder("PG_ConfigSetting")
                                    .set("PropertyName", name)
                                    .set("DefaultValue", value)
                                    .set("CurrentValue", value)
                                    .set("PlannedValue", value)
                                    .set("DynamicUpdate", cim::CIMValue(true))
                                    .build());
    }
    return group;
}

} // namespace Merrow::Sim
