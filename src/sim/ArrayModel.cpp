#include "sim/ArrayModel.h"

#include "sim/ArrayStateJson.h"
#include "sim/StateFile.h"
#include "sim/SystemProjection.h"

#include "cim/value/CIMException.h"
#include "trace/Trace.h"

namespace Merrow::Sim {

void ModelTransaction::touchVolume(const std::string& volumeId)
{
    touch(ModelProjection::group(GroupKind::Volume, volumeId));
    // Free space shows on every disk and pool, and a volume may move between disks.
    for (const auto& [diskId, disk] : m_state.disks)
        touch(ModelProjection::group(GroupKind::Disk, diskId));
    for (const std::string& poolId : SystemProjection::poolIds())
        touch(ModelProjection::group(GroupKind::Pool, poolId));
    for (const auto& [jobId, job] : m_state.jobs) {
        if (job.ownerId == volumeId)
            touch(ModelProjection::group(GroupKind::Job, jobId));
    }
    for (const auto& [grantId, grant] : m_state.grants) {
        if (grant.volumeId == volumeId)
            touch(ModelProjection::group(GroupKind::Grant, grantId));
    }
    for (const auto& [sessionId, session] : m_state.sessions) {
        if (session.volumeId == volumeId)
            touch(ModelProjection::group(GroupKind::Session, sessionId));
    }
}

void ModelTransaction::touchDisk(const std::string& diskId)
{
    touch(ModelProjection::group(GroupKind::Disk, diskId));
    touch(GroupKind::System);
    for (const std::string& poolId : SystemProjection::poolIds())
        touch(ModelProjection::group(GroupKind::Pool, poolId));
    for (const auto& [jobId, job] : m_state.jobs) {
        if (job.ownerId == diskId)
            touch(ModelProjection::group(GroupKind::Job, jobId));
    }
}

void ModelTransaction::touchInitiator(const std::string& initiatorId)
{
    touch(ModelProjection::group(GroupKind::Initiator, initiatorId));
    for (const auto& [grantId, grant] : m_state.grants) {
        if (grant.initiatorId == initiatorId)
            touch(ModelProjection::group(GroupKind::Grant, grantId));
    }
    for (const auto& [sessionId, session] : m_state.sessions)
        touch(ModelProjection::group(GroupKind::Session, sessionId));
}

void ModelTransaction::touchLag(const std::string& lagId)
{
    touch(ModelProjection::group(GroupKind::Lag, lagId));
    for (const auto& [portId, port] : m_state.ports)
        touch(ModelProjection::group(GroupKind::Port, portId));
    for (const auto& [portalId, portal] : m_state.portals) {
        if (portal.lagId == lagId)
            touch(ModelProjection::group(GroupKind::Portal, portalId));
    }
}

void ModelTransaction::touchRoutes()
{
    for (const auto& [routeId, route] : m_state.routes)
        touch(ModelProjection::group(GroupKind::Route, routeId));
}

ArrayModel::ArrayModel(ArrayState initial, std::string managementAddress)
    : m_managementAddress(std::move(managementAddress)),
      m_names(initial.system.serialNumber),
      m_state(std::move(initial)),
      m_storage(Namespaces::Storage),
      m_internal(Namespaces::Internal),
      m_view{m_state, m_names, m_storage, m_internal}
{
    ChangeSet ignored;
    const ModelProjection projection(m_state, m_names, m_managementAddress);
    m_internal.replaceGroups({{"internal", projection.internalSettings()}}, ignored);
    ModelTransaction transaction(m_state, m_view);
    transaction.touchAll();
    PendingSave unused;
    commitLocked(transaction, unused);
}

ArrayModel::~ArrayModel() = default;

void ArrayModel::commitLocked(ModelTransaction& transaction, PendingSave& save)
{
    if (!transaction.m_all && transaction.m_groups.empty())
        return;
    const ModelProjection projection(m_state, m_names, m_managementAddress);
    std::vector<std::string> groups;
    if (transaction.m_all) {
        groups = projection.allGroups();
        // Groups of objects the state no longer has must be projected (empty) to go away.
        std::set<std::string> wanted(groups.begin(), groups.end());
        for (const std::string& group : m_storage.groupNames()) {
            if (wanted.count(group) == 0)
                groups.push_back(group);
        }
    } else {
        groups.assign(transaction.m_groups.begin(), transaction.m_groups.end());
    }

    std::vector<std::pair<std::string, ProjectedGroup>> content;
    content.reserve(groups.size());
    for (std::string& group : groups) {
        ProjectedGroup projected = projection.project(group);
        content.emplace_back(std::move(group), std::move(projected));
    }
    ChangeSet changes;
    m_storage.replaceGroups(std::move(content), changes);

    ++m_version;
    if (m_listener != nullptr && !changes.empty())
        m_listener->onChanges(m_view, changes.inOrder());
    if (m_stateFile) {
        save.version = m_version;
        save.text = ArrayStateJson::toJson(m_state).dump();
    }
}

void ArrayModel::save(const PendingSave& pending)
{
    if (!m_stateFile || pending.version == 0)
        return;
    try {
        m_stateFile->save(pending.version, pending.text);
    } catch (const std::exception& e) {
        // An array that cannot keep a change fails the request that made it.
        MWTRACE(2, "TC.Sim.Model") << "cannot save the state: " << e.what() << MWENDREC;
        throw cim::CIMException(cim::CIMStatusCode::Failed, std::string("the configuration could not be saved: ") + e.what());
    }
}

std::string ArrayModel::stateText() const
{
    std::shared_lock lock(m_mutex);
    return ArrayStateJson::toJson(m_state).dump();
}

} // namespace Merrow::Sim

namespace Merrow::Sim {

void ArrayModel::saveNow()
{
    PendingSave pending;
    {
        std::unique_lock lock(m_mutex);
        if (!m_stateFile)
            return;
        pending.version = ++m_version;
        pending.text = ArrayStateJson::toJson(m_state).dump();
    }
    save(pending);
}

} // namespace Merrow::Sim
