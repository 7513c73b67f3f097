#include "sim/IscsiProjection.h"

namespace Merrow::Sim {

namespace {

cim::CIMValue status(std::uint16_t value) { return cim::CIMValue(std::vector<std::uint16_t>{value}); }

} // namespace

ProjectedGroup IscsiProjection::initiator(const std::string& initiatorId) const
{
    ProjectedGroup group;
    auto found = m_context.state.initiators.find(initiatorId);
    if (found == m_context.state.initiators.end())
        return group;
    const SimInitiator& initiator = found->second;
    group.objects.push_back(InstanceBuilder("CIM_StorageHardwareID")
                                .set("InstanceID", initiator.id)
                                .set("ElementName", initiator.elementName)
                                .set("StorageID", initiator.name)
                                .set("IDType", cim::CIMValue(std::uint16_t{5}))
                                .set("OtherIDType", "")
                                .build());
    group.objects.push_back(InstanceBuilder("CIM_SharedSecret")
                                .set("SystemCreationClassName", "CIM_ComputerSystem")
                                .set("SystemName", m_context.names.systemName())
                                .set("ServiceCreationClassName", "CIM_StorageHardwareIDManagementService")
                                .set("ServiceName", ServiceName::HardwareIdManagement)
                                .set("RemoteID", initiator.name)
                                .set("ElementName", initiator.elementName + " CHAP secret")
                                .set("Secret", initiator.secret)
                                .set("Protocol", "CHAP")
                                .set("Algorithm", "MD5")
                                .build());
    group.links.push_back(ProjectionContext::link("CIM_ConcreteIdentity", ModelNames::initiatorKey(initiator.id),
                                                  InstanceStore::objectKey("CIM_SharedSecret", initiator.name)));
    return group;
}

ProjectedGroup IscsiProjection::grant(const std::string& grantId) const
{
    ProjectedGroup group;
    const ArrayState& state = m_context.state;
    auto found = state.grants.find(grantId);
    if (found == state.grants.end())
        return group;
    const SimGrant& grant = found->second;
    auto volume = state.volumes.find(grant.volumeId);
    auto initiator = state.initiators.find(grant.initiatorId);
    if (volume == state.volumes.end() || initiator == state.initiators.end())
        return group;
    group.objects.push_back(InstanceBuilder("CIM_AuthorizedPrivilege")
                                .set("InstanceID", grant.id)
                                .set("ElementName", initiator->second.name + " on " + volume->second.target.name)
                                .set("PrivilegeGranted", cim::CIMValue(true))
                                .set("Activities", cim::CIMValue(std::vector<std::uint16_t>{5, 6}))
                                .build());
    const std::string privilegeKey = InstanceStore::objectKey("CIM_AuthorizedPrivilege", grant.id);
    group.links.push_back(ProjectionContext::link("CIM_AuthorizedTarget", privilegeKey,
                                                  ModelNames::targetKey(volume->second.target.id)));
    group.links.push_back(ProjectionContext::link("CIM_AuthorizedSubject", privilegeKey,
                                                  ModelNames::initiatorKey(grant.initiatorId)));
    return group;
}

ProjectedGroup IscsiProjection::session(const std::string& sessionId) const
{
    ProjectedGroup group;
    const ArrayState& state = m_context.state;
    auto found = state.sessions.find(sessionId);
    if (found == state.sessions.end())
        return group;
    const SimSession& session = found->second;
    auto volume = state.volumes.find(session.volumeId);
    if (volume == state.volumes.end())
        return group;
    const SimInitiator* initiator = state.findInitiatorByName(session.initiatorName);
    const bool chap = volume->second.target.primaryAuthentication == AuthMethod::Chap;

    group.objects.push_back(InstanceBuilder("CIM_iSCSISession")
                                .set("InstanceID", session.id)
                                .set("ElementName", session.initiatorName + " on " + volume->second.target.name)
                                .set("EndPointName", session.initiatorName + ",i,0x" + session.isid)
                                .set("SessionType", cim::CIMValue(std::uint16_t{2}))
                                .set("TSIH", cim::CIMValue(static_cast<std::uint32_t>(std::stoul(session.id.substr(2), nullptr, 16))))
                                .set("CurrentConnections", cim::CIMValue(std::uint32_t{1}))
                                .set("Directionality", cim::CIMValue(std::uint16_t{4}))
                                .set("OperationalStatus", status(2))
                                .build());
    group.objects.push_back(InstanceBuilder("CIM_iSCSIConnection")
                                .set("InstanceID", session.connectionId)
                                .set("ElementName", "Connection of " + session.initiatorName)
                                .set("ConnectionID", cim::CIMValue(std::uint32_t{1}))
                                .set("ActiveMaxRecvDataSegmentLength", cim::CIMValue(std::uint32_t{65536}))
                                .set("ActiveAuthenticationMethod", cim::CIMValue(static_cast<std::uint16_t>(chap ? 4 : 2)))
                                .set("ActiveHeaderDigestMethod", cim::CIMValue(std::uint16_t{2}))
                                .set("ActiveDataDigestMethod", cim::CIMValue(std::uint16_t{2}))
                                .set("OperationalStatus", status(2))
                                .build());

    const std::string sessionKey = ModelNames::sessionKey(session.id);
    const std::string connectionKey = InstanceStore::objectKey("CIM_iSCSIConnection", session.connectionId);
    group.links.push_back(ProjectionContext::link("CIM_EndpointOfNetworkPipe",
                                                  ModelNames::targetKey(volume->second.target.id), sessionKey));
    group.links.push_back(ProjectionContext::link("CIM_NetworkPipeComposition", sessionKey, connectionKey));
    if (state.portals.count(session.portalId) != 0) {
        group.links.push_back(ProjectionContext::link("CIM_EndpointOfNetworkPipe",
                                                      ModelNames::portalKey(session.portalId), connectionKey));
    }
    if (initiator != nullptr) {
        group.links.push_back(ProjectionContext::link("Merrow_ActiveInitiatorSessions",
                                                      ModelNames::initiatorKey(initiator->id), sessionKey));
    }
    return group;
}

} // namespace Merrow::Sim
