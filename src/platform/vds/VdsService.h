// The stand-in for the VDS service object, as a provider program sees it: the service
// version (IVdsService::GetProperties) and the registration of providers (IVdsAdmin).
//
// Registrations are kept where VDS keeps them, one key per provider under
// HKLM\SYSTEM\CurrentControlSet\Services\vds\Providers, named by the provider id in braces,
// with the values "Name", "CLSID", "Type", "Version", "VersionId" and, when given,
// "MachineName". The store is the process registry.
//
// Created with CoCreateInstance(CLSID_VdsService, ...); the class is registered from the
// start. Free-threaded; it keeps no state of its own besides the process-wide version.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/vds/VdsServiceInterfaces.h"

#include <string>

namespace orv::platform {

// One provider as registered through IVdsAdmin::RegisterProvider.
struct VdsProviderRegistration {
    VDS_OBJECT_ID id{};
    CLSID clsid{};
    std::u16string name;
    VDS_PROVIDER_TYPE type = VDS_PT_UNKNOWN;
    std::u16string machineName;
    std::u16string version;
    GUID versionId{};
};

class VdsService : public CComObjectRootEx, public IVdsService, public IVdsAdmin {
public:
    using ComMap = ComInterfaceMap<IVdsService, IVdsAdmin>;

    static constexpr const char16_t* kProvidersKey =
        u"SYSTEM\\CurrentControlSet\\Services\\vds\\Providers";

    // The version text GetProperties reports, for every service object of the process:
    // $ORVDS_VDS_VERSION when set, else "1.1", until a program or test sets another.
    static std::u16string versionText();
    static void setVersionText(std::u16string text);

    // The registration of `providerId`: VDS_E_OBJECT_NOT_FOUND when there is none, an
    // HRESULT-folded registry error when the store cannot be read.
    static HRESULT findProvider(const VDS_OBJECT_ID& providerId, VdsProviderRegistration& out);

    // IVdsService
    HRESULT IsServiceReady() override;
    HRESULT WaitForServiceReady() override;
    HRESULT GetProperties(VDS_SERVICE_PROP* pServiceProp) override;

    // IVdsAdmin. Registering an id again replaces its registration; E_INVALIDARG for a
    // null id or class, a missing name or version, or a type other than software or
    // hardware. UnregisterProvider answers VDS_E_OBJECT_NOT_FOUND for an unknown id.
    HRESULT RegisterProvider(VDS_OBJECT_ID providerId, CLSID providerClsid, LPWSTR pwszName,
                             VDS_PROVIDER_TYPE type, LPWSTR pwszMachineName, LPWSTR pwszVersion,
                             GUID guidVersionId) override;
    HRESULT UnregisterProvider(VDS_OBJECT_ID providerId) override;
};

}  // namespace orv::platform
