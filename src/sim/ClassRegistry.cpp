#include "sim/ClassRegistry.h"

#include <stdexcept>
#include <strings.h>

namespace Merrow::Sim {

namespace {

struct Row {
    const char* nameSpace;
    const char* name;
    const char* superclass;
    std::vector<const char*> newKeys;
    const char* primaryKey;
    std::vector<const char*> roles;
};

constexpr const char* S = Namespaces::Storage;

// Superclasses come before their subclasses. Keys and the primary key are inherited;
// a row only names what its class adds.
const std::vector<Row>& rows()
{
    static const std::vector<Row> table{
        // Element hierarchy.
        {S, "CIM_ManagedElement", nullptr, {}, nullptr, {}},
        {S, "CIM_ManagedSystemElement", "CIM_ManagedElement", {}, nullptr, {}},
        {S, "CIM_LogicalElement", "CIM_ManagedSystemElement", {}, nullptr, {}},
        {S, "CIM_EnabledLogicalElement", "CIM_LogicalElement", {}, nullptr, {}},
        {S, "CIM_System", "CIM_EnabledLogicalElement", {"CreationClassName", "Name"}, "Name", {}},
        {S, "CIM_ComputerSystem", "CIM_System", {}, nullptr, {}},
        {S, "CIM_Service", "CIM_EnabledLogicalElement",
         {"SystemCreationClassName", "SystemName", "CreationClassName", "Name"}, "Name", {}},
        {S, "CIM_StorageConfigurationService", "CIM_Service", {}, nullptr, {}},
        {S, "Merrow_StorageConfigurationService", "CIM_StorageConfigurationService", {}, nullptr, {}},
        {S, "CIM_ControllerConfigurationService", "CIM_Service", {}, nullptr, {}},
        {S, "CIM_SecurityService", "CIM_Service", {}, nullptr, {}},
        {S, "CIM_AuthenticationService", "CIM_SecurityService", {}, nullptr, {}},
        {S, "CIM_StorageHardwareIDManagementService", "CIM_AuthenticationService", {}, nullptr, {}},
        {S, "CIM_iSCSIConfigurationService", "CIM_Service", {}, nullptr, {}},
        {S, "CIM_AccountManagementService", "CIM_SecurityService", {}, nullptr, {}},
        {S, "Merrow_AccountManagementService", "CIM_AccountManagementService", {}, nullptr, {}},
        {S, "Merrow_NetworkConfigurationService", "CIM_Service", {}, nullptr, {}},
        {S, "CIM_LogicalDevice", "CIM_EnabledLogicalElement",
         {"SystemCreationClassName", "SystemName", "CreationClassName", "DeviceID"}, "DeviceID", {}},
        {S, "CIM_StorageExtent", "CIM_LogicalDevice", {}, nullptr, {}},
        {S, "CIM_StorageVolume", "CIM_StorageExtent", {}, nullptr, {}},
        {S, "Merrow_LeafExtent", "CIM_StorageExtent", {}, nullptr, {}},
        // The array lays every volume directly on leaf extents and never builds composite
        // extents, but clients that follow the composition of a volume name the class.
        {S, "CIM_CompositeExtent", "CIM_StorageExtent", {}, nullptr, {}},
        {S, "CIM_MediaAccessDevice", "CIM_LogicalDevice", {}, nullptr, {}},
        {S, "CIM_DiskDrive", "CIM_MediaAccessDevice", {}, nullptr, {}},
        {S, "CIM_LogicalPort", "CIM_LogicalDevice", {}, nullptr, {}},
        {S, "CIM_NetworkPort", "CIM_LogicalPort", {}, nullptr, {}},
        {S, "CIM_EthernetPort", "CIM_NetworkPort", {}, nullptr, {}},
        {S, "CIM_ProtocolController", "CIM_LogicalDevice", {}, nullptr, {}},
        {S, "CIM_SCSIProtocolController", "CIM_ProtocolController", {}, nullptr, {}},
        {S, "CIM_ServiceAccessPoint", "CIM_EnabledLogicalElement",
         {"SystemCreationClassName", "SystemName", "CreationClassName", "Name"}, "Name", {}},
        {S, "CIM_ProtocolEndpoint", "CIM_ServiceAccessPoint", {}, nullptr, {}},
        {S, "CIM_SCSIProtocolEndpoint", "CIM_ProtocolEndpoint", {}, nullptr, {}},
        {S, "CIM_iSCSIProtocolEndpoint", "CIM_SCSIProtocolEndpoint", {}, nullptr, {}},
        {S, "CIM_IPProtocolEndpoint", "CIM_ProtocolEndpoint", {}, nullptr, {}},
        {S, "CIM_TCPProtocolEndpoint", "CIM_ProtocolEndpoint", {}, nullptr, {}},
        {S, "CIM_LANEndpoint", "CIM_ProtocolEndpoint", {}, nullptr, {}},
        {S, "Merrow_DataLinkEndpoint", "CIM_LANEndpoint", {}, nullptr, {}},
        {S, "CIM_RemoteServiceAccessPoint", "CIM_ServiceAccessPoint", {}, nullptr, {}},
        {S, "CIM_NetworkPipe", "CIM_EnabledLogicalElement", {"InstanceID"}, "InstanceID", {}},
        {S, "CIM_iSCSISession", "CIM_NetworkPipe", {}, nullptr, {}},
        {S, "CIM_iSCSIConnection", "CIM_NetworkPipe", {}, nullptr, {}},
        {S, "CIM_Job", "CIM_LogicalElement", {"InstanceID"}, "InstanceID", {}},
        {S, "CIM_ConcreteJob", "CIM_Job", {}, nullptr, {}},
        {S, "CIM_StoragePool", "CIM_LogicalElement", {"InstanceID"}, "InstanceID", {}},
        {S, "CIM_Account", "CIM_LogicalElement", {"SystemCreationClassName", "SystemName", "CreationClassName", "Name"},
         "Name", {}},
        {S, "Merrow_Account", "CIM_Account", {}, nullptr, {}},
        {S, "CIM_Log", "CIM_EnabledLogicalElement", {"InstanceID"}, "InstanceID", {}},
        {S, "CIM_RecordLog", "CIM_Log", {}, nullptr, {}},
        {S, "CIM_RecordForLog", "CIM_ManagedElement", {"InstanceID"}, "InstanceID", {}},
        {S, "CIM_LogRecord", "CIM_RecordForLog", {}, nullptr, {}},
        {S, "CIM_Collection", "CIM_ManagedElement", {}, nullptr, {}},
        {S, "CIM_SystemSpecificCollection", "CIM_Collection", {"InstanceID"}, "InstanceID", {}},
        {S, "CIM_ConnectivityCollection", "CIM_SystemSpecificCollection", {}, nullptr, {}},
        {S, "CIM_NetworkVLAN", "CIM_ConnectivityCollection", {}, nullptr, {}},
        {S, "CIM_SettingData", "CIM_ManagedElement", {"InstanceID"}, "InstanceID", {}},
        {S, "CIM_StorageSetting", "CIM_SettingData", {}, nullptr, {}},
        {S, "CIM_StorageSettingWithHints", "CIM_StorageSetting", {}, nullptr, {}},
        {S, "Merrow_SystemPolicySettings", "CIM_SettingData", {}, nullptr, {}},
        {S, "Merrow_ExternalConnectionsSettings", "CIM_SettingData", {}, nullptr, {}},
        {S, "CIM_iSCSISessionSettings", "CIM_SettingData", {}, nullptr, {}},
        {S, "CIM_iSCSIConnectionSettings", "CIM_SettingData", {}, nullptr, {}},
        {S, "Merrow_FirmwareImagesInfo", "CIM_SettingData", {}, nullptr, {}},
        {S, "Merrow_IPSettings", "CIM_SettingData", {}, nullptr, {}},
        {S, "Merrow_SystemSettingsiScsiParams", "CIM_SettingData", {}, nullptr, {}},
        {S, "Merrow_TCPSettings", "CIM_SettingData", {}, nullptr, {}},
        {S, "Merrow_iSNSSettings", "CIM_SettingData", {}, nullptr, {}},
        {S, "CIM_Credential", "CIM_ManagedElement", {}, nullptr, {}},
        {S, "CIM_SharedSecret", "CIM_Credential",
         {"SystemCreationClassName", "SystemName", "ServiceCreationClassName", "ServiceName", "RemoteID"},
         "RemoteID", {}},
        {S, "CIM_Identity", "CIM_ManagedElement", {"InstanceID"}, "InstanceID", {}},
        {S, "CIM_StorageHardwareID", "CIM_Identity", {}, nullptr, {}},
        {S, "CIM_Privilege", "CIM_ManagedElement", {"InstanceID"}, "InstanceID", {}},
        {S, "CIM_AuthorizedPrivilege", "CIM_Privilege", {}, nullptr, {}},
        {S, "CIM_PhysicalElement", "CIM_ManagedSystemElement", {"CreationClassName", "Tag"}, "Tag", {}},
        {S, "CIM_PhysicalPackage", "CIM_PhysicalElement", {}, nullptr, {}},
        {S, "CIM_PhysicalFrame", "CIM_PhysicalPackage", {}, nullptr, {}},
        {S, "CIM_Chassis", "CIM_PhysicalFrame", {}, nullptr, {}},
        {S, "CIM_PhysicalComponent", "CIM_PhysicalElement", {}, nullptr, {}},
        {S, "CIM_PhysicalMedia", "CIM_PhysicalComponent", {}, nullptr, {}},
        {S, "CIM_PhysicalConnector", "CIM_PhysicalElement", {}, nullptr, {}},
        {S, "CIM_Slot", "CIM_PhysicalConnector", {}, nullptr, {}},
        {S, "CIM_IndicationHandler", "CIM_ManagedElement",
         {"SystemCreationClassName", "SystemName", "CreationClassName", "Name"}, "Name", {}},
        {S, "CIM_IndicationHandlerCIMXML", "CIM_IndicationHandler", {}, nullptr, {}},
        {S, "CIM_IndicationFilter", "CIM_ManagedElement",
         {"SystemCreationClassName", "SystemName", "CreationClassName", "Name"}, "Name", {}},
        // The array's own classes outside the schema tree.
        {S, "Merrow_DriveSMARTStatus", nullptr, {"InstanceID"}, "InstanceID", {}},
        {S, "Merrow_NetworkRoute", nullptr, {"InstanceID"}, "InstanceID", {}},
        {S, "Merrow_SystemSettingsController", nullptr, {"InstanceID"}, "InstanceID", {}},
        {S, "Merrow_SystemSettingsNetworkOutbandPort", nullptr, {"InstanceID"}, "InstanceID", {}},
        {S, "Merrow_SystemSettingsRedundantPair", nullptr, {"InstanceID"}, "InstanceID", {}},
        {S, "Merrow_SystemSettingsiComplex", nullptr, {"InstanceID"}, "InstanceID", {}},
        {S, "Merrow_PingObject", nullptr, {"InstanceID"}, "InstanceID", {}},
        // Indications: classes only, never instances.
        {S, "CIM_Indication", nullptr, {}, nullptr, {}},
        {S, "CIM_InstIndication", "CIM_Indication", {}, nullptr, {}},
        {S, "CIM_InstCreation", "CIM_InstIndication", {}, nullptr, {}},
        {S, "CIM_InstDeletion", "CIM_InstIndication", {}, nullptr, {}},
        {S, "CIM_InstModification", "CIM_InstIndication", {}, nullptr, {}},
        // Associations.
        {S, "CIM_Dependency", nullptr, {}, nullptr, {"Antecedent", "Dependent"}},
        {S, "CIM_Component", nullptr, {}, nullptr, {"GroupComponent", "PartComponent"}},
        {S, "CIM_SystemComponent", "CIM_Component", {}, nullptr, {}},
        {S, "CIM_SystemDevice", "CIM_SystemComponent", {}, nullptr, {}},
        {S, "CIM_ComponentCS", "CIM_SystemComponent", {}, nullptr, {}},
        {S, "CIM_HostedStoragePool", "CIM_SystemComponent", {}, nullptr, {}},
        {S, "CIM_ConcreteComponent", "CIM_Component", {}, nullptr, {}},
        {S, "CIM_NetworkPipeComposition", "CIM_Component", {}, nullptr, {}},
        {S, "CIM_Container", "CIM_Component", {}, nullptr, {}},
        {S, "CIM_HostedDependency", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_HostedService", "CIM_HostedDependency", {}, nullptr, {}},
        {S, "CIM_HostedAccessPoint", "CIM_HostedDependency", {}, nullptr, {}},
        {S, "CIM_AllocatedFromStoragePool", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_ProtocolControllerForDevice", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_ProtocolControllerForUnit", "CIM_ProtocolControllerForDevice", {}, nullptr, {}},
        {S, "CIM_MediaPresent", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_Realizes", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_RealizesExtent", "CIM_Realizes", {}, nullptr, {}},
        {S, "CIM_BasedOn", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_SystemPackaging", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_ComputerSystemPackage", "CIM_SystemPackaging", {}, nullptr, {}},
        {S, "CIM_DeviceSAPImplementation", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_SAPSAPDependency", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_BindsTo", "CIM_SAPSAPDependency", {}, nullptr, {}},
        {S, "CIM_RemoteAccessAvailableToElement", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_ConcreteDependency", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_EndpointOfNetworkPipe", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_PackageInSlot", "CIM_Dependency", {}, nullptr, {}},
        {S, "Merrow_VolumeReconfiguring", "CIM_Dependency", {}, nullptr, {}},
        {S, "Merrow_SMARTDataForDrive", "CIM_Dependency", {}, nullptr, {}},
        {S, "Merrow_AssociatedControllerInfo", "CIM_Dependency", {}, nullptr, {}},
        {S, "Merrow_FirmwareImagesForController", "CIM_Dependency", {}, nullptr, {}},
        {S, "Merrow_ActiveInitiatorSessions", "CIM_Dependency", {}, nullptr, {}},
        {S, "Merrow_NetworkRouteDependency", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_AccountOnSystem", "CIM_SystemComponent", {}, nullptr, {}},
        {S, "CIM_UseOfLog", "CIM_Dependency", {}, nullptr, {}},
        {S, "CIM_LogManagesRecord", nullptr, {}, nullptr, {"Log", "Record"}},
        {S, "CIM_ElementSettingData", nullptr, {}, nullptr, {"ManagedElement", "SettingData"}},
        {S, "CIM_AffectedJobElement", nullptr, {}, nullptr, {"AffectedElement", "AffectingElement"}},
        {S, "CIM_OwningJobElement", nullptr, {}, nullptr, {"OwningElement", "OwnedElement"}},
        {S, "CIM_AuthorizedTarget", nullptr, {}, nullptr, {"Privilege", "TargetElement"}},
        {S, "CIM_AuthorizedSubject", nullptr, {}, nullptr, {"Privilege", "PrivilegedElement"}},
        {S, "CIM_SAPAvailableForElement", nullptr, {}, nullptr, {"AvailableSAP", "ManagedElement"}},
        {S, "CIM_SAPAvailableForElement2", "CIM_SAPAvailableForElement", {}, nullptr, {}},
        {S, "CIM_ConcreteIdentity", nullptr, {}, nullptr, {"SystemElement", "SameElement"}},
        // Subscriptions reference a filter and a handler but are created and kept like any
        // other instance; no walk goes through them.
        {S, "CIM_IndicationSubscription", nullptr, {"Filter", "Handler"}, nullptr, {}},
        // The keep-alive probe of older clients.
        {Namespaces::Internal, "PG_ConfigSetting", nullptr, {"PropertyName"}, "PropertyName", {}},
        // The simulator's own control object.
        {Namespaces::Control, "CorvaneSim_Control", nullptr, {"Name"}, "Name", {}},
    };
    return table;
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace

bool ClassInfo::isA(const ClassInfo& other) const
{
    for (const ClassInfo* c = this; c != nullptr; c = c->superclass) {
        if (c == &other)
            return true;
    }
    return false;
}

const ClassRegistry& ClassRegistry::instance()
{
    static const ClassRegistry registry;
    return registry;
}

ClassRegistry::ClassRegistry()
{
    for (const Row& row : rows()) {
        auto info = std::make_unique<ClassInfo>();
        info->name = row.name;
        info->nameSpace = row.nameSpace;
        info->order = m_classes.size();
        if (row.superclass != nullptr) {
            info->superclass = find(row.nameSpace, row.superclass);
            if (info->superclass == nullptr)
                throw std::logic_error(std::string("superclass listed after ") + row.name);
            info->keys = info->superclass->keys;
            info->primaryKey = info->superclass->primaryKey;
            info->roles = info->superclass->roles;
        }
        for (const char* key : row.newKeys)
            info->keys.emplace_back(key);
        if (row.primaryKey != nullptr)
            info->primaryKey = row.primaryKey;
        for (const char* role : row.roles)
            info->roles.emplace_back(role);
        if (info->isAssociation())
            info->keys = info->roles;
        m_classes.push_back(std::move(info));
    }
}

bool ClassRegistry::hasNamespace(std::string_view nameSpace) const
{
    for (const auto& c : m_classes) {
        if (equalNoCase(c->nameSpace, nameSpace))
            return true;
    }
    return false;
}

const ClassInfo* ClassRegistry::find(std::string_view nameSpace, std::string_view className) const
{
    for (const auto& c : m_classes) {
        if (equalNoCase(c->name, className) && equalNoCase(c->nameSpace, nameSpace))
            return c.get();
    }
    return nullptr;
}

std::vector<const ClassInfo*> ClassRegistry::family(const ClassInfo& root) const
{
    std::vector<const ClassInfo*> members;
    for (const auto& c : m_classes) {
        if (c->isA(root))
            members.push_back(c.get());
    }
    return members;
}

} // namespace Merrow::Sim

namespace Merrow::Sim {

std::vector<const ClassInfo*> ClassRegistry::classesOf(std::string_view nameSpace) const
{
    std::vector<const ClassInfo*> classes;
    for (const auto& c : m_classes) {
        if (equalNoCase(c->nameSpace, nameSpace))
            classes.push_back(c.get());
    }
    return classes;
}

} // namespace Merrow::Sim
