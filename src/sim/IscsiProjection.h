#pragma once

// Initiators, their access grants and the live iSCSI sessions.
//
// Association chains served here:
//   initiator (CIM_StorageHardwareID) -CIM_ConcreteIdentity-> its CIM_SharedSecret
//   target -CIM_AuthorizedTarget-> CIM_AuthorizedPrivilege -CIM_AuthorizedSubject->
//       CIM_StorageHardwareID, and the same chain backwards from the initiator
//   target -CIM_EndpointOfNetworkPipe-> CIM_iSCSISession
//   session -CIM_NetworkPipeComposition-> CIM_iSCSIConnection (and back)
//   portal (CIM_TCPProtocolEndpoint) -CIM_EndpointOfNetworkPipe-> CIM_iSCSIConnection
//   initiator -Merrow_ActiveInitiatorSessions-> CIM_iSCSISession (and back)
// One privilege stands for one initiator's access to one target, so revoking access
// deletes exactly one privilege.

#include "sim/ProjectionContext.h"

namespace Merrow::Sim {

class IscsiProjection {
public:
    explicit IscsiProjection(const ProjectionContext& context) : m_context(context) {}

    ProjectedGroup initiator(const std::string& initiatorId) const;
    ProjectedGroup grant(const std::string& grantId) const;
    ProjectedGroup session(const std::string& sessionId) const;

private:
    const ProjectionContext& m_context;
};

} // namespace Merrow::Sim
