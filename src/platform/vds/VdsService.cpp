#include "platform/vds/VdsService.h"

#include "platform/com/ComClassRegistry.h"
#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "platform/registry/RegistryKey.h"
#include "platform/registry/RegistryTransaction.h"
#include "platform/vds/VdsErrors.h"

#include <cstdlib>
#include <mutex>

namespace orv::platform {
namespace {

constexpr const char16_t* kName = u"Name";
constexpr const char16_t* kClsid = u"CLSID";
constexpr const char16_t* kType = u"Type";
constexpr const char16_t* kMachineName = u"MachineName";
constexpr const char16_t* kVersion = u"Version";
constexpr const char16_t* kVersionId = u"VersionId";

std::mutex g_versionMutex;  // guards g_version
std::u16string g_version;
bool g_versionSet = false;

std::u16string initialVersion()
{
    const char* configured = std::getenv("ORVDS_VDS_VERSION");
    if (configured != nullptr && *configured != '\0')
        return Utf8ToUtf16(configured);
    return u"1.1";
}

HRESULT openProviders(REGSAM access, bool create, RegistryKey& providers)
{
    const RegistryKey hklm = RegistryKey::root(HKEY_LOCAL_MACHINE);
    const LSTATUS status = create ? providers.create(hklm, VdsService::kProvidersKey, access)
                                  : providers.open(hklm, VdsService::kProvidersKey, access);
    return HRESULT_FROM_WIN32(status);
}

// Writes one registration into an emptied provider key; the first failure ends it.
LSTATUS writeRegistration(RegistryKey& key, const VdsProviderRegistration& r)
{
    LSTATUS status = key.setString(kName, r.name);
    if (status == ERROR_SUCCESS)
        status = key.setString(kClsid, GuidToWString(r.clsid));
    if (status == ERROR_SUCCESS)
        status = key.setDword(kType, static_cast<DWORD>(r.type));
    if (status == ERROR_SUCCESS && !r.machineName.empty())
        status = key.setString(kMachineName, r.machineName);
    if (status == ERROR_SUCCESS)
        status = key.setString(kVersion, r.version);
    if (status == ERROR_SUCCESS)
        status = key.setString(kVersionId, GuidToWString(r.versionId));
    return status;
}

LSTATUS readGuid(const RegistryKey& key, const char16_t* name, GUID& guid)
{
    std::u16string text;
    LSTATUS status = key.queryString(name, text);
    if (status != ERROR_SUCCESS)
        return status;
    std::optional<GUID> parsed = GuidFromString(text);
    if (!parsed)
        return ERROR_BADKEY;
    guid = *parsed;
    return ERROR_SUCCESS;
}

LSTATUS readRegistration(const RegistryKey& key, VdsProviderRegistration& r)
{
    DWORD type = 0;
    LSTATUS status = key.queryString(kName, r.name);
    if (status == ERROR_SUCCESS)
        status = readGuid(key, kClsid, r.clsid);
    if (status == ERROR_SUCCESS)
        status = key.queryDword(kType, type);
    if (status == ERROR_SUCCESS)
        status = key.queryString(kVersion, r.version);
    if (status == ERROR_SUCCESS)
        status = readGuid(key, kVersionId, r.versionId);
    if (status != ERROR_SUCCESS)
        return status;
    r.type = static_cast<VDS_PROVIDER_TYPE>(type);
    if (key.queryString(kMachineName, r.machineName) != ERROR_SUCCESS)
        r.machineName.clear();
    return ERROR_SUCCESS;
}

}  // namespace

void registerPlatformClasses(ComClassRegistry& registry)
{
    registry.registerClass(CLSID_VdsService, CreateComInstance<VdsService>);
}

std::u16string VdsService::versionText()
{
    std::lock_guard lock(g_versionMutex);
    if (!g_versionSet) {
        g_version = initialVersion();
        g_versionSet = true;
    }
    return g_version;
}

void VdsService::setVersionText(std::u16string text)
{
    std::lock_guard lock(g_versionMutex);
    g_version = std::move(text);
    g_versionSet = true;
}

HRESULT VdsService::IsServiceReady()
{
    return S_OK;
}

HRESULT VdsService::WaitForServiceReady()
{
    return S_OK;
}

HRESULT VdsService::GetProperties(VDS_SERVICE_PROP* pServiceProp)
{
    if (pServiceProp == nullptr)
        return E_POINTER;
    LPWSTR version = CoTaskMemDupString(versionText());
    if (version == nullptr)
        return E_OUTOFMEMORY;
    pServiceProp->pwszVersion = version;
    pServiceProp->ulFlags = 0;
    return S_OK;
}

HRESULT VdsService::RegisterProvider(VDS_OBJECT_ID providerId, CLSID providerClsid,
                                     LPWSTR pwszName, VDS_PROVIDER_TYPE type,
                                     LPWSTR pwszMachineName, LPWSTR pwszVersion,
                                     GUID guidVersionId)
{
    if (providerId == GUID_NULL || providerClsid == GUID_NULL || WideLength(pwszName) == 0 ||
        pwszVersion == nullptr || (type != VDS_PT_SOFTWARE && type != VDS_PT_HARDWARE))
        return E_INVALIDARG;
    const VdsProviderRegistration registration{
        providerId, providerClsid, pwszName,   type,
        pwszMachineName == nullptr ? u"" : pwszMachineName, pwszVersion, guidVersionId};

    RegistryKey providers;
    HRESULT hr = openProviders(KEY_ALL_ACCESS, true, providers);
    if (FAILED(hr))
        return hr;
    RegistryTransaction transaction(providers.registry());
    RegistryKey key;
    LSTATUS status = transaction.status();
    if (status == ERROR_SUCCESS)
        status = key.create(providers, GuidToWString(providerId));
    if (status == ERROR_SUCCESS)
        status = key.deleteTree(u"");
    if (status == ERROR_SUCCESS)
        status = writeRegistration(key, registration);
    if (status == ERROR_SUCCESS)
        status = transaction.commit();
    return HRESULT_FROM_WIN32(status);
}

HRESULT VdsService::UnregisterProvider(VDS_OBJECT_ID providerId)
{
    RegistryKey providers;
    HRESULT hr = openProviders(KEY_ALL_ACCESS, false, providers);
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
        return VDS_E_OBJECT_NOT_FOUND;
    if (FAILED(hr))
        return hr;
    const LSTATUS status = providers.deleteTree(GuidToWString(providerId));
    if (status == ERROR_FILE_NOT_FOUND)
        return VDS_E_OBJECT_NOT_FOUND;
    return HRESULT_FROM_WIN32(status);
}

HRESULT VdsService::findProvider(const VDS_OBJECT_ID& providerId, VdsProviderRegistration& out)
{
    RegistryKey providers;
    HRESULT hr = openProviders(KEY_READ, false, providers);
    RegistryKey key;
    if (SUCCEEDED(hr))
        hr = HRESULT_FROM_WIN32(key.open(providers, GuidToWString(providerId)));
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
        return VDS_E_OBJECT_NOT_FOUND;
    if (FAILED(hr))
        return hr;
    VdsProviderRegistration registration;
    registration.id = providerId;
    hr = HRESULT_FROM_WIN32(readRegistration(key, registration));
    if (SUCCEEDED(hr))
        out = std::move(registration);
    return hr;
}

}  // namespace orv::platform
