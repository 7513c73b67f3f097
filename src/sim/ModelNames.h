#pragma once

// The names and keys of the CIM objects the model derives from the array's state. Every
// projection and every method handler asks here, so a link always names the object the
// projection of its other end stored.

#include "sim/ArrayState.h"

#include <string>

namespace Merrow::Sim {

namespace ServiceName {
inline constexpr const char* StorageConfiguration = "StorageConfigurationService";
inline constexpr const char* ControllerConfiguration = "ControllerConfigurationService";
inline constexpr const char* HardwareIdManagement = "StorageHardwareIDManagementService";
inline constexpr const char* IscsiConfiguration = "iSCSIConfigurationService";
inline constexpr const char* NetworkConfiguration = "NetworkConfigurationService";
inline constexpr const char* AccountManagement = "AccountManagementService";
} // namespace ServiceName

namespace SettingId {
inline constexpr const char* RedundantPair = "Merrow:RedundantPair";
inline constexpr const char* IComplex = "Merrow:iComplex";
inline constexpr const char* OutbandPort = "Merrow:OutbandPort";
inline constexpr const char* IscsiParams = "Merrow:iScsiParams";
inline constexpr const char* Isns = "Merrow:iSNS";
inline constexpr const char* IpSettings = "Merrow:IPSettings";
inline constexpr const char* TcpSettings = "Merrow:TCPSettings";
inline constexpr const char* Ping = "Merrow:Ping";
inline constexpr const char* SystemPolicy = "Merrow:SystemPolicy";
inline constexpr const char* ExternalConnections = "Merrow:ExternalConnections";
inline constexpr const char* EventLog = "Merrow:EventLog";
} // namespace SettingId

class ModelNames {
public:
    explicit ModelNames(std::string serialNumber);

    static constexpr int kControllers = 2;

    const std::string& serialNumber() const { return m_serial; }
    // "Name" of the top CIM_ComputerSystem; every device's "SystemName".
    const std::string& systemName() const { return m_systemName; }
    std::string controllerName(int controller) const;
    std::string chassisTag() const { return "CHASSIS-" + m_serial; }
    std::string targetIqn(const std::string& volumeId) const;

    static char controllerLetter(int controller) { return static_cast<char>('A' + controller); }
    static std::string controllerSettingsId(int controller);
    static std::string firmwareId(int controller);
    static std::string diskExtentId(const std::string& diskId) { return std::string(IdPrefix::DiskExtent) + diskId.substr(2); }
    static std::string mediaTag(const std::string& diskId) { return "MEDIA-" + diskId; }
    static std::string smartId(const std::string& diskId) { return "SMART-" + diskId; }
    static std::string slotTag(unsigned slot);
    static std::string volumeSettingId(const std::string& volumeId) { return "SETTING-" + volumeId; }
    static std::string targetEndpointName(const std::string& iqn) { return iqn + ",t,0x0001"; }
    static std::string sessionSettingsId(const std::string& targetId) { return "ISS-" + targetId; }
    static std::string connectionSettingsId(const std::string& targetId) { return "ICS-" + targetId; }
    static std::string ipEndpointName(const std::string& portalId) { return portalId + "-IP"; }
    static std::string gatewayName(const std::string& portalId) { return portalId + "-GW"; }
    static std::string vlanId(const std::string& portalId) { return portalId + "-VLAN"; }

    // Keys of stored objects (InstanceStore::objectKey), for links.
    std::string systemKey() const;
    std::string controllerKey(int controller) const;
    std::string chassisKey() const;
    static std::string serviceKey(const char* className, const char* serviceName);
    static std::string poolKey(const std::string& poolId);
    static std::string diskKey(const std::string& diskId);
    static std::string diskExtentKey(const std::string& diskId);
    static std::string volumeKey(const std::string& volumeId);
    static std::string leafExtentKey(const std::string& extentId);
    static std::string targetKey(const std::string& targetId);
    static std::string initiatorKey(const std::string& initiatorId);
    static std::string portKey(const std::string& portId);
    static std::string lagKey(const std::string& lagId);
    static std::string portalKey(const std::string& portalId);
    static std::string routeKey(const std::string& routeId);
    static std::string jobKey(const std::string& jobId);
    static std::string sessionKey(const std::string& sessionId);

    // A serial number that stays the same for one listen address across restarts, so two
    // simulators never look like the same array and one simulator always looks the same.
    static std::string serialForAddress(const std::string& address);

private:
    std::string m_serial;
    std::string m_systemName;
};

} // namespace Merrow::Sim
