#include "sim/SystemProjection.h"

#include <algorithm>

namespace Merrow::Sim {

namespace {

const char* const kServices[][2] = {
    {"Merrow_StorageConfigurationService", ServiceName::StorageConfiguration},
    {"CIM_ControllerConfigurationService", ServiceName::ControllerConfiguration},
    {"CIM_StorageHardwareIDManagementService", ServiceName::HardwareIdManagement},
    {"CIM_iSCSIConfigurationService", ServiceName::IscsiConfiguration},
    {"Merrow_NetworkConfigurationService", ServiceName::NetworkConfiguration},
};

const char* poolName(const std::string& poolId)
{
    if (poolId == PoolId::Unavailable)
        return "Unavailable Pool";
    if (poolId == PoolId::Spare)
        return "Spare Pool";
    if (poolId == PoolId::Available)
        return "Available Pool";
    if (poolId == PoolId::BaseA)
        return "Base Pool A";
    return "Base Pool B";
}

cim::CIMValue status(std::uint16_t value) { return cim::CIMValue(std::vector<std::uint16_t>{value}); }

} // namespace

const std::vector<std::string>& SystemProjection::poolIds()
{
    static const std::vector<std::string> ids{PoolId::Unavailable, PoolId::Spare, PoolId::Available, PoolId::BaseA,
                                              PoolId::BaseB};
    return ids;
}

std::uint16_t SystemProjection::driveSlots(const ArrayState& state)
{
    std::uint16_t slots = 16;
    for (const auto& [id, disk] : state.disks)
        slots = std::max(slots, disk.slot);
    return slots;
}

ProjectedGroup SystemProjection::system() const
{
    ProjectedGroup group;
    addSystems(group);
    addChassis(group);
    addServices(group);
    addArraySettings(group);
    for (int controller = 0; controller < ModelNames::kControllers; ++controller)
        addControllerObjects(group, controller);
    return group;
}

void SystemProjection::addSystems(ProjectedGroup& group) const
{
    const ModelNames& names = m_context.names;
    const SimSystem& system = m_context.state.system;
    // The top system goes first: clients that find several computer systems take the
    // first one that has component systems.
    group.objects.push_back(InstanceBuilder("CIM_ComputerSystem")
                                .set("CreationClassName", "CIM_ComputerSystem")
                                .set("Name", names.systemName())
                                .set("ElementName", system.name)
                                .set("Caption", "Corvane iSCSI storage array")
                                .set("NameFormat", "Other")
                                .set("OtherIdentifyingInfo", cim::CIMValue(std::vector<std::string>{names.serialNumber()}))
                                .set("IdentifyingDescriptions", cim::CIMValue(std::vector<std::string>{"Serial Number"}))
                                .set("Dedicated", cim::CIMValue(std::vector<std::uint16_t>{3, 15}))
                                .set("OperationalStatus", status(2))
                                .set("HealthState", cim::CIMValue(std::uint16_t{5}))
                                .set("EnabledState", cim::CIMValue(std::uint16_t{2}))
                                .build());
    for (int controller = 0; controller < ModelNames::kControllers; ++controller) {
        const bool active = system.activeSlot == controller + 1;
        group.objects.push_back(
            InstanceBuilder("CIM_ComputerSystem")
                .set("CreationClassName", "CIM_ComputerSystem")
                .set("Name", names.controllerName(controller))
                .set("ElementName", std::string("Controller ") + ModelNames::controllerLetter(controller))
                .set("NameFormat", "Other")
                .set("Dedicated", cim::CIMValue(std::vector<std::uint16_t>{3}))
                .set("OperationalStatus", status(2))
                .set("HealthState", cim::CIMValue(std::uint16_t{5}))
                .set("EnabledState", cim::CIMValue(std::uint16_t{2}))
                .set("Merrow_Role", active ? "Active" : "Passive")
                .build());
        group.links.push_back(ProjectionContext::link("CIM_ComponentCS", names.systemKey(), names.controllerKey(controller)));
    }
}

void SystemProjection::addChassis(ProjectedGroup& group) const
{
    const ModelNames& names = m_context.names;
    group.objects.push_back(InstanceBuilder("CIM_Chassis")
                                .set("CreationClassName", "CIM_Chassis")
                                .set("Tag", names.chassisTag())
                                .set("ElementName", "Corvane chassis")
                                .set("Manufacturer", "Corvane")
                                .set("Model", "CVN-3200")
                                .set("SerialNumber", names.serialNumber())
                                .set("ChassisPackageType", cim::CIMValue(std::uint16_t{17}))
                                .set("OperationalStatus", status(2))
                                .build());
    group.links.push_back(ProjectionContext::link("CIM_ComputerSystemPackage", names.chassisKey(), names.systemKey()));
    const std::uint16_t slots = driveSlots(m_context.state);
    for (std::uint16_t slot = 1; slot <= slots; ++slot) {
        group.objects.push_back(InstanceBuilder("CIM_Slot")
                                    .set("CreationClassName", "CIM_Slot")
                                    .set("Tag", ModelNames::slotTag(slot))
                                    .set("ElementName", "Drive slot " + std::to_string(slot))
                                    .set("Number", cim::CIMValue(slot))
                                    .build());
        group.links.push_back(ProjectionContext::link("CIM_Container", names.chassisKey(),
                                                      InstanceStore::objectKey("CIM_Slot", ModelNames::slotTag(slot))));
    }
}

void SystemProjection::addServices(ProjectedGroup& group) const
{
    for (const auto& [className, name] : kServices) {
        group.objects.push_back(m_context.service(className, name)
                                    .set("ElementName", name)
                                    .set("EnabledState", cim::CIMValue(std::uint16_t{2}))
                                    .set("OperationalStatus", status(2))
                                    .set("Started", cim::CIMValue(true))
                                    .build());
        group.links.push_back(ProjectionContext::link("CIM_HostedService", m_context.names.systemKey(),
                                                      ModelNames::serviceKey(className, name)));
    }
}

cim::CIMInstance SystemProjection::settingsObject(InstanceBuilder builder, const std::string& instanceId) const
{
    cim::CIMInstance instance = builder.build();
    ProjectionContext::applySettings(instance, m_context.systemSettings(instanceId));
    return instance;
}

void SystemProjection::addArraySettings(ProjectedGroup& group) const
{
    const ModelNames& names = m_context.names;
    const SimSystem& system = m_context.state.system;
    std::string hostName = "corvane-" + names.serialNumber();
    std::transform(hostName.begin(), hostName.end(), hostName.begin(), [](unsigned char c) { return std::tolower(c); });

    group.objects.push_back(InstanceBuilder("Merrow_SystemSettingsRedundantPair")
                                .set("InstanceID", SettingId::RedundantPair)
                                .set("ElementName", "Redundant pair")
                                .set("Name", system.name)
                                .set("ActiveSlot", cim::CIMValue(system.activeSlot))
                                .set("PeerState", "Ready")
                                .set("ManagementIPAddress", m_context.managementAddress)
                                .build());
    group.objects.push_back(settingsObject(InstanceBuilder("Merrow_SystemSettingsiComplex")
                                               .set("InstanceID", SettingId::IComplex)
                                               .set("ElementName", "iComplex")
                                               .set("SystemState", "Ready")
                                               .set("RevisionLevel", system.firmwareVersion)
                                               .set("ProductId", "CVN-3200")
                                               .set("VendorId", "Corvane")
                                               .set("SerialNumber", names.serialNumber())
                                               .set("DurableName", names.systemName())
                                               .set("Identity", "Corvane CVN-3200 " + names.serialNumber())
                                               // The controller board model and the outcome of the
                                               // two controllers' last bind, as numbers.
                                               .set("BladeType", cim::CIMValue(std::uint16_t{3}))
                                               .set("BindFailReason", cim::CIMValue(std::uint16_t{1})),
                                           SettingId::IComplex));
    group.objects.push_back(settingsObject(InstanceBuilder("Merrow_SystemSettingsNetworkOutbandPort")
                                               .set("InstanceID", SettingId::OutbandPort)
                                               .set("ElementName", "Management port")
                                               .set("IPAddress", m_context.managementAddress)
                                               .set("SubnetMask", "255.0.0.0")
                                               .set("Gateway", "127.0.0.1")
                                               .set("HostName", hostName)
                                               .set("MACAddress", "00:0c:a7:00:00:01")
                                               .set("DHCPEnabled", cim::CIMValue(false)),
                                           SettingId::OutbandPort));
    group.objects.push_back(settingsObject(InstanceBuilder("Merrow_SystemSettingsiScsiParams")
                                               .set("InstanceID", SettingId::IscsiParams)
                                               .set("ElementName", "iSCSI parameters")
                                               .set("MaxConnections", cim::CIMValue(std::uint32_t{1}))
                                               .set("InitialR2T", cim::CIMValue(true))
                                               .set("ImmediateData", cim::CIMValue(true))
                                               .set("MaxBurstLength", cim::CIMValue(std::uint32_t{262144}))
                                               .set("FirstBurstLength", cim::CIMValue(std::uint32_t{65536}))
                                               .set("DefaultTime2Wait", cim::CIMValue(std::uint32_t{2}))
                                               .set("DefaultTime2Retain", cim::CIMValue(std::uint32_t{20}))
                                               .set("MaxOutstandingR2T", cim::CIMValue(std::uint32_t{1}))
                                               .set("ErrorRecoveryLevel", cim::CIMValue(std::uint32_t{0}))
                                               .set("MaxRecvDataSegmentLength", cim::CIMValue(std::uint32_t{65536})),
                                           SettingId::IscsiParams));
    group.objects.push_back(settingsObject(InstanceBuilder("Merrow_iSNSSettings")
                                               .set("InstanceID", SettingId::Isns)
                                               .set("ElementName", "iSNS")
                                               .set("iSNSEnabled", cim::CIMValue(false))
                                               .set("iSNSServerAddress", "")
                                               .set("iSNSPort", cim::CIMValue(std::uint32_t{3205})),
                                           SettingId::Isns));
    group.objects.push_back(settingsObject(InstanceBuilder("Merrow_IPSettings")
                                               .set("InstanceID", SettingId::IpSettings)
                                               .set("ElementName", "IP settings")
                                               .set("PMTUEnabled", cim::CIMValue(true))
                                               .set("TTL", cim::CIMValue(std::uint16_t{64}))
                                               .set("ULPCounterReset", cim::CIMValue(false)),
                                           SettingId::IpSettings));
    group.objects.push_back(settingsObject(InstanceBuilder("Merrow_TCPSettings")
                                               .set("InstanceID", SettingId::TcpSettings)
                                               .set("ElementName", "TCP settings")
                                               .set("MaxSegmentSize", cim::CIMValue(std::uint32_t{1460}))
                                               .set("WindowScale", cim::CIMValue(std::uint16_t{0}))
                                               .set("Timestamps", cim::CIMValue(false))
                                               .set("CounterReset", cim::CIMValue(false)),
                                           SettingId::TcpSettings));
    group.objects.push_back(InstanceBuilder("Merrow_PingObject")
                                .set("InstanceID", SettingId::Ping)
                                .set("ElementName", "Management controller")
                                .set("SlotId", cim::CIMValue(system.activeSlot))
                                .build());
    const char* const settingData[][2] = {
        {"Merrow_SystemSettingsiScsiParams", SettingId::IscsiParams},
        {"Merrow_iSNSSettings", SettingId::Isns},
        {"Merrow_IPSettings", SettingId::IpSettings},
        {"Merrow_TCPSettings", SettingId::TcpSettings},
    };
    for (const auto& [className, id] : settingData) {
        group.links.push_back(ProjectionContext::link("CIM_ElementSettingData", names.systemKey(),
                                                      InstanceStore::objectKey(className, id)));
    }
}

void SystemProjection::addControllerObjects(ProjectedGroup& group, int controller) const
{
    const ModelNames& names = m_context.names;
    const SimSystem& system = m_context.state.system;
    const std::string letter(1, ModelNames::controllerLetter(controller));
    const std::string settingsId = ModelNames::controllerSettingsId(controller);
    group.objects.push_back(settingsObject(InstanceBuilder("Merrow_SystemSettingsController")
                                               .set("InstanceID", settingsId)
                                               .set("ElementName", "Controller " + letter + " settings")
                                               .set("SerialNumber", names.serialNumber() + "-" + letter)
                                               .set("DriveSlots", cim::CIMValue(driveSlots(m_context.state)))
                                               .set("BoardRevision", "B2")
                                               .set("Slot", cim::CIMValue(static_cast<std::uint16_t>(controller + 1)))
                                               .set("Role", system.activeSlot == controller + 1 ? "Active" : "Passive"),
                                           settingsId));
    const std::string firmwareId = ModelNames::firmwareId(controller);
    group.objects.push_back(InstanceBuilder("Merrow_FirmwareImagesInfo")
                                .set("InstanceID", firmwareId)
                                .set("ElementName", "Controller " + letter + " firmware")
                                .set("ActiveImageVersion", system.firmwareVersion)
                                .set("InactiveImageVersion", "2.7.0.14")
                                .set("BootImageVersion", "1.2.0.3")
                                .build());
    group.links.push_back(ProjectionContext::link(
        "Merrow_AssociatedControllerInfo", names.controllerKey(controller),
        InstanceStore::objectKey("Merrow_SystemSettingsController", settingsId)));
    group.links.push_back(ProjectionContext::link("Merrow_FirmwareImagesForController", names.controllerKey(controller),
                                                  InstanceStore::objectKey("Merrow_FirmwareImagesInfo", firmwareId)));
}

ProjectedGroup SystemProjection::pool(const std::string& poolId) const
{
    ProjectedGroup group;
    const auto& ids = poolIds();
    if (std::find(ids.begin(), ids.end(), poolId) == ids.end())
        return group;
    std::uint64_t totalBlocks = 0;
    std::uint64_t freeBlocks = 0;
    for (const auto& [id, disk] : m_context.state.disks) {
        if (disk.poolId != poolId)
            continue;
        totalBlocks += disk.blocks;
        freeBlocks += disk.online ? m_context.state.freeBlocks(disk) : 0;
    }
    const bool basePool = poolId == PoolId::BaseA || poolId == PoolId::BaseB;
    group.objects.push_back(InstanceBuilder("CIM_StoragePool")
                                .set("InstanceID", poolId)
                                .set("PoolID", poolId)
                                .set("ElementName", poolName(poolId))
                                .set("Primordial", cim::CIMValue(!basePool))
                                .set("TotalManagedSpace", cim::CIMValue(totalBlocks * VolumeLayout::kBlockSize))
                                .set("RemainingManagedSpace", cim::CIMValue(freeBlocks * VolumeLayout::kBlockSize))
                                .set("OperationalStatus", status(2))
                                .build());
    group.links.push_back(ProjectionContext::link("CIM_HostedStoragePool", m_context.names.systemKey(),
                                                  ModelNames::poolKey(poolId)));
    return group;
}

} // namespace Merrow::Sim
