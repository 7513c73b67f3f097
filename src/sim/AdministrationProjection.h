#pragma once

// What administrators manage besides storage and network: the system policy and external
// connection settings, the user accounts with their management service, and the event log
// with its records.
//
// Association chains served here:
//   top -CIM_ElementSettingData-> Merrow_SystemPolicySettings, Merrow_ExternalConnectionsSettings
//   top -CIM_HostedService-> Merrow_AccountManagementService
//   top -CIM_AccountOnSystem-> each Merrow_Account
//   top -CIM_UseOfLog-> the CIM_RecordLog
//   log -CIM_LogManagesRecord-> each CIM_LogRecord
// Accounts never show their password: "UserPassword" is always empty.

#include "sim/ProjectionContext.h"

namespace Merrow::Sim {

class AdministrationProjection {
public:
    explicit AdministrationProjection(const ProjectionContext& context) : m_context(context) {}

    ProjectedGroup administration() const;
    // Empty when there is no such account or record.
    ProjectedGroup account(const std::string& accountId) const;
    ProjectedGroup event(const std::string& recordId) const;

    static std::string logKey();

private:
    void addPolicy(ProjectedGroup& group) const;
    void addExternalConnections(ProjectedGroup& group) const;
    void addAccountService(ProjectedGroup& group) const;
    void addEventLog(ProjectedGroup& group) const;

    const ProjectionContext& m_context;
};

} // namespace Merrow::Sim
