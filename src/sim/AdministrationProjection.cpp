#include "sim/AdministrationProjection.h"

#include "sim/EventLog.h"

#include "cim/value/CIMDateTime.h"

namespace Merrow::Sim {

namespace {

constexpr const char* kPolicyClass = "Merrow_SystemPolicySettings";
constexpr const char* kConnectionsClass = "Merrow_ExternalConnectionsSettings";
constexpr const char* kAccountServiceClass = "Merrow_AccountManagementService";
constexpr const char* kAccountClass = "Merrow_Account";
constexpr const char* kLogClass = "CIM_RecordLog";
constexpr const char* kRecordClass = "CIM_LogRecord";

cim::CIMValue u16(std::uint16_t value) { return cim::CIMValue(value); }

} // namespace

std::string AdministrationProjection::logKey()
{
    return InstanceStore::objectKey(kLogClass, SettingId::EventLog);
}

ProjectedGroup AdministrationProjection::administration() const
{
    ProjectedGroup group;
    addPolicy(group);
    addExternalConnections(group);
    addAccountService(group);
    addEventLog(group);
    return group;
}

void AdministrationProjection::addPolicy(ProjectedGroup& group) const
{
    cim::CIMInstance policy = InstanceBuilder(kPolicyClass)
                                  .set("InstanceID", SettingId::SystemPolicy)
                                  .set("ElementName", "System policy")
                                  .set("BatteryPolicy", u16(3))
                                  .set("FailoverPolicy", u16(2))
                                  .set("BatteryState", u16(4))
                                  .build();
    ProjectionContext::applySettings(policy, m_context.systemSettings(SettingId::SystemPolicy));
    group.objects.push_back(std::move(policy));
    group.links.push_back(ProjectionContext::link("CIM_ElementSettingData", m_context.names.systemKey(),
                                                  InstanceStore::objectKey(kPolicyClass, SettingId::SystemPolicy)));
}

void AdministrationProjection::addExternalConnections(ProjectedGroup& group) const
{
    cim::CIMInstance connections = InstanceBuilder(kConnectionsClass)
                                       .set("InstanceID", SettingId::ExternalConnections)
                                       .set("ElementName", "External connections")
                                       .set("SMTPServerAddress", "")
                                       .set("SMTPServerPort", u16(25))
                                       .set("EmailSenderAddress", "")
                                       .set("EmailRecipientAddress", "")
                                       .set("SNMPTrapDestination", "")
                                       .set("SNMPCommunity", "public")
                                       .set("NTPServerAddress", "")
                                       .set("SyslogServerAddress", "")
                                       .build();
    ProjectionContext::applySettings(connections, m_context.systemSettings(SettingId::ExternalConnections));
    group.objects.push_back(std::move(connections));
    group.links.push_back(
        ProjectionContext::link("CIM_ElementSettingData", m_context.names.systemKey(),
                                InstanceStore::objectKey(kConnectionsClass, SettingId::ExternalConnections)));
}

void AdministrationProjection::addAccountService(ProjectedGroup& group) const
{
    group.objects.push_back(m_context.service(kAccountServiceClass, ServiceName::AccountManagement)
                                .set("ElementName", ServiceName::AccountManagement)
                                .set("EnabledState", u16(2))
                                .set("OperationalStatus", cim::CIMValue(std::vector<std::uint16_t>{2}))
                                .set("Started", cim::CIMValue(true))
                                .build());
    group.links.push_back(ProjectionContext::link("CIM_HostedService", m_context.names.systemKey(),
                                                  ModelNames::serviceKey(kAccountServiceClass,
                                                                         ServiceName::AccountManagement)));
}

void AdministrationProjection::addEventLog(ProjectedGroup& group) const
{
    group.objects.push_back(InstanceBuilder(kLogClass)
                                .set("InstanceID", SettingId::EventLog)
                                .set("Name", "Event history")
                                .set("ElementName", "Event history")
                                .set("MaxNumberOfRecords", cim::CIMValue(std::uint64_t{EventLog::kMaxRecords}))
                                .set("CurrentNumberOfRecords",
                                     cim::CIMValue(static_cast<std::uint64_t>(m_context.state.events.size())))
                                .set("OverwritePolicy", u16(2))
                                .set("EnabledState", u16(2))
                                .set("OperationalStatus", cim::CIMValue(std::vector<std::uint16_t>{2}))
                                .build());
    group.links.push_back(ProjectionContext::link("CIM_UseOfLog", logKey(), m_context.names.systemKey()));
}

ProjectedGroup AdministrationProjection::account(const std::string& accountId) const
{
    ProjectedGroup group;
    auto found = m_context.state.accounts.find(accountId);
    if (found == m_context.state.accounts.end())
        return group;
    const SimAccount& account = found->second;
    group.objects.push_back(m_context.accessPoint(kAccountClass, m_context.names.systemName(), account.id)
                                .set("UserID", account.userId)
                                .set("ElementName", account.userId)
                                .set("UserPassword", "")
                                .set("Role", account.role)
                                .set("EnabledState", u16(2))
                                .build());
    group.links.push_back(ProjectionContext::link("CIM_AccountOnSystem", m_context.names.systemKey(),
                                                  InstanceStore::objectKey(kAccountClass, account.id)));
    return group;
}

ProjectedGroup AdministrationProjection::event(const std::string& recordId) const
{
    ProjectedGroup group;
    auto found = m_context.state.events.find(recordId);
    if (found == m_context.state.events.end())
        return group;
    const SimLogRecord& record = found->second;
    group.objects.push_back(InstanceBuilder(kRecordClass)
                                .set("InstanceID", record.id)
                                .set("RecordID", record.id)
                                .set("LogInstanceID", SettingId::EventLog)
                                .set("MessageTimestamp", cim::CIMValue(cim::CIMDateTime::fromUnixMicroseconds(
                                                             record.timeMs * 1000)))
                                .set("PerceivedSeverity", u16(record.severity))
                                .set("RecordFormat", "Category*Message")
                                .set("RecordData", record.category + "*" + record.message)
                                .set("Merrow_Category", record.category)
                                .set("Merrow_Message", record.message)
                                .build());
    group.links.push_back(ProjectionContext::link("CIM_LogManagesRecord", logKey(),
                                                  InstanceStore::objectKey(kRecordClass, record.id)));
    return group;
}

} // namespace Merrow::Sim
