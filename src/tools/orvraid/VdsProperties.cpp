#include "VdsProperties.h"

#include "CommandError.h"

#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"

#include <arpa/inet.h>

#include <cstring>

namespace orvraid {
namespace {

// The record's strings are the caller's from the moment GetProperties returns, success or
// not, so every one is taken (and freed) before the result is looked at.
std::string take(LPWSTR& text)
{
    std::string narrow = orv::platform::Utf16ToUtf8(static_cast<LPCWSTR>(text));
    CoTaskMemFree(text);
    text = nullptr;
    return narrow;
}

}  // namespace

ProviderProperties readProperties(IVdsProvider* provider)
{
    VDS_PROVIDER_PROP prop{};
    const HRESULT hr = provider->GetProperties(&prop);
    ProviderProperties out{prop.id, take(prop.pwszName), take(prop.pwszVersion), prop.type};
    throwIfFailed(hr, "read the provider's properties");
    return out;
}

SubsystemProperties readProperties(IVdsSubSystem* subsystem)
{
    VDS_SUB_SYSTEM_PROP prop{};
    const HRESULT hr = subsystem->GetProperties(&prop);
    SubsystemProperties out{prop.id,
                            take(prop.pwszFriendlyName),
                            take(prop.pwszIdentification),
                            prop.ulFlags,
                            prop.ulStripeSizeFlags,
                            prop.status,
                            prop.health,
                            prop.sNumberOfInternalBuses,
                            prop.sMaxNumberOfSlotsEachBus,
                            prop.sMaxNumberOfControllers,
                            prop.sRebuildPriority};
    throwIfFailed(hr, "read the subsystem's properties");
    return out;
}

ControllerProperties readProperties(IVdsController* controller)
{
    VDS_CONTROLLER_PROP prop{};
    const HRESULT hr = controller->GetProperties(&prop);
    ControllerProperties out{take(prop.pwszFriendlyName), take(prop.pwszIdentification),
                             prop.status, prop.health, prop.sNumberOfPorts};
    throwIfFailed(hr, "read a controller's properties");
    return out;
}

DriveProperties readProperties(IVdsDrive* drive)
{
    VDS_DRIVE_PROP prop{};
    const HRESULT hr = drive->GetProperties(&prop);
    DriveProperties out{prop.ullSize,     take(prop.pwszFriendlyName), take(prop.pwszIdentification),
                        prop.ulFlags,     prop.status,                 prop.health,
                        prop.sInternalBusNumber, prop.sSlotNumber};
    throwIfFailed(hr, "read a drive's properties");
    return out;
}

LunProperties readProperties(IVdsLun* lun)
{
    VDS_LUN_PROP prop{};
    const HRESULT hr = lun->GetProperties(&prop);
    LunProperties out{prop.ullSize,  take(prop.pwszFriendlyName), take(prop.pwszIdentification),
                      take(prop.pwszUnmaskingList), prop.type, prop.status, prop.health, prop.id};
    throwIfFailed(hr, "read a LUN's properties");
    return out;
}

TargetProperties readProperties(IVdsIscsiTarget* target)
{
    VDS_ISCSI_TARGET_PROP prop{};
    const HRESULT hr = target->GetProperties(&prop);
    TargetProperties out{take(prop.pwszIscsiName), take(prop.pwszFriendlyName), prop.bChapEnabled != FALSE};
    throwIfFailed(hr, "read a target's properties");
    return out;
}

PortalProperties readProperties(IVdsIscsiPortal* portal)
{
    VDS_ISCSI_PORTAL_PROP prop{};
    throwIfFailed(portal->GetProperties(&prop), "read a portal's properties");
    return {ipAddressText(prop.address), prop.address.ulPort, prop.status};
}

std::string ipAddressText(const VDS_IPADDRESS& address)
{
    char text[INET6_ADDRSTRLEN] = {};
    switch (address.type) {
    case VDS_IPT_TEXT:
        return orv::platform::Utf16ToUtf8(static_cast<LPCWSTR>(address.wszTextAddress));
    case VDS_IPT_IPV4: {
        // The address is held as a number whose most significant byte is the first
        // octet; inet_ntop wants the octets in network order.
        const std::uint32_t network = htonl(address.ipv4Address);
        inet_ntop(AF_INET, &network, text, sizeof text);
        return text;
    }
    case VDS_IPT_IPV6:
        inet_ntop(AF_INET6, address.ipv6Address, text, sizeof text);
        return text;
    case VDS_IPT_EMPTY:
        return "";
    }
    return "";
}

}  // namespace orvraid
