#include "sim/ModelNames.h"

#include "sim/InstanceStore.h"

#include <cctype>
#include <cstdio>

namespace Merrow::Sim {

ModelNames::ModelNames(std::string serialNumber)
    : m_serial(std::move(serialNumber)), m_systemName("CVN-" + m_serial)
{
}

std::string ModelNames::controllerName(int controller) const
{
    return m_systemName + "-" + controllerLetter(controller);
}

std::string ModelNames::targetIqn(const std::string& volumeId) const
{
    std::string serial;
    for (char c : m_serial)
        serial += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "iqn.2001-04.com.corvane:cvn-" + serial + ":" + volumeId;
}

std::string ModelNames::controllerSettingsId(int controller)
{
    return std::string("Merrow:Controller.") + controllerLetter(controller);
}

std::string ModelNames::firmwareId(int controller)
{
    return std::string("Merrow:Firmware.") + controllerLetter(controller);
}

std::string ModelNames::slotTag(unsigned slot)
{
    char text[16];
    std::snprintf(text, sizeof text, "SLOT-%02u", slot);
    return text;
}

std::string ModelNames::systemKey() const { return InstanceStore::objectKey("CIM_ComputerSystem", m_systemName); }

std::string ModelNames::controllerKey(int controller) const
{
    return InstanceStore::objectKey("CIM_ComputerSystem", controllerName(controller));
}

std::string ModelNames::chassisKey() const { return InstanceStore::objectKey("CIM_Chassis", chassisTag()); }

std::string ModelNames::serviceKey(const char* className, const char* serviceName)
{
    return InstanceStore::objectKey(className, serviceName);
}

std::string ModelNames::poolKey(const std::string& poolId) { return InstanceStore::objectKey("CIM_StoragePool", poolId); }
std::string ModelNames::diskKey(const std::string& diskId) { return InstanceStore::objectKey("CIM_DiskDrive", diskId); }

std::string ModelNames::diskExtentKey(const std::string& diskId)
{
    return InstanceStore::objectKey("CIM_StorageExtent", diskExtentId(diskId));
}

std::string ModelNames::volumeKey(const std::string& volumeId)
{
    return InstanceStore::objectKey("CIM_StorageVolume", volumeId);
}

std::string ModelNames::leafExtentKey(const std::string& extentId)
{
    return InstanceStore::objectKey("Merrow_LeafExtent", extentId);
}

std::string ModelNames::targetKey(const std::string& targetId)
{
    return InstanceStore::objectKey("CIM_SCSIProtocolController", targetId);
}

std::string ModelNames::initiatorKey(const std::string& initiatorId)
{
    return InstanceStore::objectKey("CIM_StorageHardwareID", initiatorId);
}

std::string ModelNames::portKey(const std::string& portId) { return InstanceStore::objectKey("CIM_EthernetPort", portId); }
std::string ModelNames::lagKey(const std::string& lagId) { return InstanceStore::objectKey("Merrow_DataLinkEndpoint", lagId); }

std::string ModelNames::portalKey(const std::string& portalId)
{
    return InstanceStore::objectKey("CIM_TCPProtocolEndpoint", portalId);
}

std::string ModelNames::routeKey(const std::string& routeId) { return InstanceStore::objectKey("Merrow_NetworkRoute", routeId); }
std::string ModelNames::jobKey(const std::string& jobId) { return InstanceStore::objectKey("CIM_ConcreteJob", jobId); }
std::string ModelNames::sessionKey(const std::string& sessionId) { return InstanceStore::objectKey("CIM_iSCSISession", sessionId); }

std::string ModelNames::serialForAddress(const std::string& address)
{
    // FNV-1a: stable across platforms and runs, unlike std::hash.
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : address) {
        hash ^= c;
        hash *= 16777619u;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(hash));
    return text;
}

} // namespace Merrow::Sim
