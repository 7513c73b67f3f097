#include "sim/MethodTable.h"

#include "sim/AccessMethods.h"
#include "sim/AdministrationMethods.h"
#include "sim/NetworkMethods.h"
#include "sim/StorageMethods.h"
#include "sim/SystemMethods.h"
#include "sim/TaskMethods.h"

#include <cstring>
#include <strings.h>

namespace Merrow::Sim {

namespace {

using T = cim::CIMType;

constexpr const char* kMerrowStorage = "Merrow_StorageConfigurationService";
constexpr const char* kNetwork = "Merrow_NetworkConfigurationService";
constexpr const char* kAccounts = "Merrow_AccountManagementService";

const std::vector<ParameterSpec> kLayoutParameters{
    {"ChunkSize", T::Uint32}, {"StripeWidth", T::Uint8}, {"MirrorCount", T::Uint8}, {"Pool", T::Reference},
    {"VolumeOrganization", T::Uint16}, {"StorageDevice", T::Reference, true},
};

std::vector<ParameterSpec> withLayout(std::vector<ParameterSpec> first)
{
    first.insert(first.end(), kLayoutParameters.begin(), kLayoutParameters.end());
    return first;
}

const std::vector<ParameterSpec> kJobOnly{{"Job", T::Reference}};

std::vector<MethodSpec> buildTable()
{
    return {
        {"CIM_EnabledLogicalElement", "RequestStateChange",
         {{"RequestedState", T::Uint16}, {"TimeoutPeriod", T::DateTime}}, NetworkMethods::requestStateChange},
        {"CIM_ControllerConfigurationService", "ExposePaths",
         {{"LUNames", T::String, true}, {"InitiatorPortIDs", T::String, true}, {"TargetPortIDs", T::String, true},
          {"DeviceNumbers", T::String, true}, {"DeviceAccesses", T::Uint16, true},
          {"ProtocolControllers", T::Reference, true}},
         AccessMethods::exposePaths},
        {"CIM_ControllerConfigurationService", "HidePaths",
         {{"LUNames", T::String, true}, {"InitiatorPortIDs", T::String, true}, {"TargetPortIDs", T::String, true},
          {"ProtocolControllers", T::Reference, true}},
         AccessMethods::hidePaths},
        {"CIM_StorageHardwareIDManagementService", "CreateStorageHardwareID",
         {{"ElementName", T::String}, {"StorageID", T::String}, {"IDType", T::Uint16}, {"OtherIDType", T::String},
          {"Setting", T::Reference}},
         AccessMethods::createStorageHardwareId},
        {"CIM_StorageHardwareIDManagementService", "DeleteStorageHardwareID", {{"HardwareID", T::Reference}},
         AccessMethods::deleteStorageHardwareId},
        {"CIM_StorageConfigurationService", "CreateOrModifyElementFromStoragePool",
         {{"ElementName", T::String}, {"ElementType", T::Uint16}, {"Goal", T::Reference}, {"Size", T::Uint64},
          {"InPool", T::Reference}, {"TheElement", T::Reference}},
         StorageMethods::createOrModifyElement},
        {"CIM_StorageConfigurationService", "ReturnToStoragePool", {{"TheElement", T::Reference}},
         StorageMethods::returnToStoragePool},
        {kMerrowStorage, "CreateVolume", withLayout({{"ElementName", T::String}, {"Size", T::Uint64}}),
         StorageMethods::createVolume},
        {kMerrowStorage, "ReconfigureVolume", withLayout({{"Volume", T::Reference}, {"Size", T::Uint64}}),
         StorageMethods::reconfigureVolume},
        {kMerrowStorage, "GetMaxiumumVolumeSize", withLayout({}), StorageMethods::getMaximumVolumeSize, false},
        {kMerrowStorage, "GetBasePool", {{"Controller", T::Reference}}, StorageMethods::getBasePool, false},
        {kMerrowStorage, "GetAvailablePool", {}, StorageMethods::getAvailablePool, false},
        {kMerrowStorage, "GetSparePool", {}, StorageMethods::getSparePool, false},
        {kMerrowStorage, "GetUnavailablePool", {}, StorageMethods::getUnavailablePool, false},
        {kMerrowStorage, "TransferDriveByRef", {{"Pool", T::Reference}, {"Drive", T::Reference}},
         StorageMethods::transferDriveByRef},
        {kMerrowStorage, "InitializeStorageDevice", {{"ElementType", T::Uint16}, {"StorageDevice", T::Reference}},
         StorageMethods::initializeStorageDevice},
        {kMerrowStorage, "RemoveStorageDevice", {{"StorageDevice", T::Reference}}, StorageMethods::removeStorageDevice},
        {kMerrowStorage, "ScanStorageElement",
         {{"ScanType", T::Uint16}, {"ScheduledTaskPriority", T::Uint32}, {"ScheduledTaskStartTime", T::DateTime},
          {"PeriodicityType", T::Uint16}, {"Periodicity", T::Uint16}, {"StorageElement", T::Reference}},
         StorageMethods::scanStorageElement},
        {kMerrowStorage, "RescheduleTask",
         {{"ScheduledTaskPriority", T::Uint32}, {"ScheduledTaskStartTime", T::DateTime}, {"PeriodicityType", T::Uint16},
          {"Periodicity", T::Uint16}, {"Job", T::Reference}},
         TaskMethods::rescheduleTask},
        {kMerrowStorage, "AbortTask", kJobOnly, TaskMethods::abortTask},
        {kMerrowStorage, "DeleteTask", kJobOnly, TaskMethods::deleteTask},
        {kMerrowStorage, "SuspendTask", kJobOnly, TaskMethods::suspendTask},
        {kMerrowStorage, "ResumeTask", kJobOnly, TaskMethods::resumeTask},
        {kMerrowStorage, "InitiateShutdown", {{"Restart", T::Boolean}}, SystemMethods::initiateShutdown},
        {kMerrowStorage, "ForceControllerFailover", {}, SystemMethods::forceControllerFailover},
        {kMerrowStorage, "TestEmailSnmpNotifications", {}, SystemMethods::testNotifications, false},
        {kMerrowStorage, "ReadPersistenceData", {}, SystemMethods::readPersistenceData, false},
        {kMerrowStorage, "WritePersistenceData", {{"Data", T::String}, {"PersistenceSetting", T::Uint16}},
         SystemMethods::writePersistenceData},
        {kNetwork, "CreateLinkAggregator",
         {{"PhysicalPorts", T::Reference, true}, {"RequestedSpeed", T::Uint64}, {"AutoSense", T::Boolean},
          {"RequestedState", T::Uint16}, {"VLANState", T::Boolean}, {"FrameType", T::Uint16},
          {"ActiveMaximumTransmissionUnit", T::Uint64}},
         NetworkMethods::createLinkAggregator},
        {kNetwork, "AddPortsToAggregator", {{"PhysicalPorts", T::Reference, true}, {"LinkAggregator", T::Reference}},
         NetworkMethods::addPortsToAggregator},
        {kNetwork, "RemovePortsFromAggregator",
         {{"PhysicalPorts", T::Reference, true}, {"LinkAggregator", T::Reference}},
         NetworkMethods::removePortsFromAggregator},
        {kNetwork, "DeleteLinkAggregator", {{"LinkAggregator", T::Reference}}, NetworkMethods::deleteLinkAggregator},
        {kNetwork, "ReplaceLAGandChangeVLAN", {{"LinkAggregator", T::Reference}, {"VLANEnabled", T::Boolean}},
         NetworkMethods::replaceLagAndChangeVlan},
        {kNetwork, "CreateTCPIPProtocolEndpoint",
         {{"LinkAggregator", T::Reference}, {"IPv4Address", T::String}, {"SubnetMask", T::String},
          {"DefaultGateway", T::String}, {"VLANId", T::Uint16}},
         NetworkMethods::createPortal},
        {kNetwork, "DeleteTCPIPProtocolEndpoint", {{"NetworkPortal", T::Reference}}, NetworkMethods::deletePortal},
        {kNetwork, "PingRemoteIPProtocolEndpoint",
         {{"NetworkPortal", T::Reference}, {"IPv4Address", T::String}, {"Delay", T::Uint64}},
         NetworkMethods::pingRemote, false},
        {kAccounts, "CreateAccount", {{"UserID", T::String}, {"Password", T::String}, {"Role", T::String}},
         AdministrationMethods::createAccount},
        {kAccounts, "DeleteAccount", {{"Account", T::Reference}}, AdministrationMethods::deleteAccount},
        {kAccounts, "SetAccountPassword", {{"Account", T::Reference}, {"Password", T::String}},
         AdministrationMethods::setAccountPassword},
        {"CIM_Log", "ClearLog", {}, AdministrationMethods::clearLog},
    };
}

} // namespace

const std::vector<MethodSpec>& MethodTable::all()
{
    static const std::vector<MethodSpec> table = buildTable();
    return table;
}

const MethodSpec* MethodTable::find(const ClassInfo& cls, std::string_view methodName)
{
    for (const ClassInfo* c = &cls; c != nullptr; c = c->superclass) {
        for (const MethodSpec& spec : all()) {
            if (::strcasecmp(spec.className, c->name.c_str()) == 0 && methodName.size() == std::strlen(spec.methodName) &&
                ::strncasecmp(spec.methodName, methodName.data(), methodName.size()) == 0)
                return &spec;
        }
    }
    return nullptr;
}

} // namespace Merrow::Sim
