// The property records of VDS objects in the program's own terms: UTF-8 text instead of
// task-memory wide strings, which are freed as soon as they are read. Each reader throws
// CommandError::vdsCall when GetProperties fails.
#pragma once

#include "platform/vds/VdsInterfaces.h"

#include <cstdint>
#include <string>

namespace orvraid {

struct ProviderProperties {
    VDS_OBJECT_ID id{};
    std::string name;
    std::string version;
    VDS_PROVIDER_TYPE type = VDS_PT_UNKNOWN;
};

struct SubsystemProperties {
    VDS_OBJECT_ID id{};
    std::string name;
    std::string identification;
    ULONG flags = 0;
    ULONG stripeSizeFlags = 0;
    int status = 0;
    VDS_HEALTH health = VDS_H_UNKNOWN;
    int internalBuses = 0;
    int slotsEachBus = 0;
    int controllers = 0;
    int rebuildPriority = 0;
};

struct ControllerProperties {
    std::string name;
    std::string identification;
    int status = 0;
    VDS_HEALTH health = VDS_H_UNKNOWN;
    int ports = 0;
};

struct DriveProperties {
    std::uint64_t size = 0;
    std::string name;
    std::string identification;
    ULONG flags = 0;
    int status = 0;
    VDS_HEALTH health = VDS_H_UNKNOWN;
    int bus = 0;
    int slot = 0;
};

struct LunProperties {
    std::uint64_t size = 0;
    std::string name;
    std::string identification;
    std::string unmaskingList;
    VDS_LUN_TYPE type = VDS_LT_UNKNOWN;
    int status = 0;
    VDS_HEALTH health = VDS_H_UNKNOWN;
    VDS_OBJECT_ID id{};
};

struct TargetProperties {
    std::string iscsiName;
    std::string name;
    bool chapEnabled = false;
};

struct PortalProperties {
    std::string address;
    unsigned long port = 0;
    int status = 0;
};

ProviderProperties readProperties(IVdsProvider* provider);
SubsystemProperties readProperties(IVdsSubSystem* subsystem);
ControllerProperties readProperties(IVdsController* controller);
DriveProperties readProperties(IVdsDrive* drive);
LunProperties readProperties(IVdsLun* lun);
TargetProperties readProperties(IVdsIscsiTarget* target);
PortalProperties readProperties(IVdsIscsiPortal* portal);

// A portal's address as text: its text form when it has one, else the IPv4 or IPv6 address.
std::string ipAddressText(const VDS_IPADDRESS& address);

}  // namespace orvraid
