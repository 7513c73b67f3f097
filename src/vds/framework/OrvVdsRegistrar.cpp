#include "vds/framework/OrvVdsRegistrar.h"

#include "platform/com/TextConversion.h"
#include "platform/registry/RegistryKey.h"
#include "platform/registry/RegistryTransaction.h"
#include "vds/framework/OrvVdsIds.h"

#include <array>
#include <utility>

using orv::platform::RegistryKey;
using orv::platform::RegistryTransaction;
using orv::platform::Utf8ToUtf16;

namespace {

constexpr std::array<OrvComClassScript, 10> kClassScripts{{
    {102, u"OrvVdsProvider", CLSID_OrvVdsProvider},
    {104, u"OrvSubSystem", CLSID_OrvSubSystem},
    {105, u"OrvPortal", CLSID_OrvPortal},
    {106, u"OrvPortalGroup", CLSID_OrvPortalGroup},
    {111, u"OrvController", CLSID_OrvController},
    {110, u"OrvDrive", CLSID_OrvDrive},
    {108, u"OrvLun", CLSID_OrvLun},
    {109, u"OrvLunPlex", CLSID_OrvLunPlex},
    {107, u"OrvTarget", CLSID_OrvTarget},
    {114, u"OrvVdsVersionSupport", CLSID_OrvVdsVersionSupport},
}};

constexpr const char16_t* kTypeLibraryName = u"OrvVds 1.0 Type Library";

// One value to write: the key below HKEY_CLASSES_ROOT, the value name (empty for the
// default value) and its text.
struct Entry {
    std::u16string key;
    std::u16string name;
    std::u16string text;
};

HRESULT toHresult(LSTATUS status) { return HRESULT_FROM_WIN32(status); }

// Writes all entries in one transaction.
HRESULT writeEntries(const std::vector<Entry>& entries)
{
    RegistryKey classesRoot = RegistryKey::root(HKEY_CLASSES_ROOT);
    RegistryTransaction transaction(classesRoot.registry());
    if (transaction.status() != ERROR_SUCCESS)
        return toHresult(transaction.status());
    for (const Entry& entry : entries) {
        RegistryKey key;
        LSTATUS status = key.create(classesRoot, entry.key);
        if (status == ERROR_SUCCESS)
            status = key.setString(entry.name, entry.text);
        if (status != ERROR_SUCCESS)
            return toHresult(status);
    }
    return toHresult(transaction.commit());
}

// Removes the keys with everything below them in one transaction; missing keys are fine.
HRESULT removeKeys(const std::vector<std::u16string>& keys)
{
    RegistryKey classesRoot = RegistryKey::root(HKEY_CLASSES_ROOT);
    RegistryTransaction transaction(classesRoot.registry());
    if (transaction.status() != ERROR_SUCCESS)
        return toHresult(transaction.status());
    for (const std::u16string& key : keys) {
        const LSTATUS status = classesRoot.deleteTree(key);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            return toHresult(status);
    }
    return toHresult(transaction.commit());
}

std::u16string progId(const OrvComClassScript& script) { return u"OrvVds." + std::u16string(script.name); }

std::u16string clsidKey(const CLSID& clsid) { return u"CLSID\\" + GuidToWString(clsid); }

} // namespace

std::span<const OrvComClassScript> OrvVdsRegistrar::ClassScripts() { return kClassScripts; }

OrvVdsRegistrar::OrvVdsRegistrar(std::filesystem::path program, std::u16string serviceName)
    : m_Program(std::move(program)), m_ServiceName(std::move(serviceName))
{
}

std::u16string OrvVdsRegistrar::AppIdKeyPath() { return u"AppID\\" + GuidToWString(APPID_OrvVds); }

HRESULT OrvVdsRegistrar::RegisterAppId() const
{
    const std::u16string appId = GuidToWString(APPID_OrvVds);
    return writeEntries({
        {AppIdKeyPath(), u"", m_ServiceName},
        {u"AppID\\" + Utf8ToUtf16(m_Program.filename().string()), u"AppID", appId},
    });
}

HRESULT OrvVdsRegistrar::UnregisterAppId() const
{
    return removeKeys({AppIdKeyPath(), u"AppID\\" + Utf8ToUtf16(m_Program.filename().string())});
}

HRESULT OrvVdsRegistrar::RegisterClass(const OrvComClassScript& script) const
{
    const std::u16string description = std::u16string(script.name) + u" Class";
    const std::u16string versioned = progId(script) + u".1";
    const std::u16string independent = progId(script);
    const std::u16string clsid = GuidToWString(script.clsid);
    const std::u16string classKey = clsidKey(script.clsid);
    return writeEntries({
        {versioned, u"", description},
        {versioned + u"\\CLSID", u"", clsid},
        {independent, u"", description},
        {independent + u"\\CLSID", u"", clsid},
        {independent + u"\\CurVer", u"", versioned},
        {classKey, u"", description},
        {classKey, u"AppID", GuidToWString(APPID_OrvVds)},
        {classKey + u"\\ProgID", u"", versioned},
        {classKey + u"\\VersionIndependentProgID", u"", independent},
        {classKey + u"\\LocalServer32", u"", Utf8ToUtf16(m_Program.string())},
        {classKey + u"\\TypeLib", u"", GuidToWString(LIBID_OrvVdsLib)},
    });
}

HRESULT OrvVdsRegistrar::UnregisterClass(const OrvComClassScript& script) const
{
    return removeKeys({progId(script) + u".1", progId(script), clsidKey(script.clsid)});
}

HRESULT OrvVdsRegistrar::RegisterTypeLibrary() const
{
    const std::u16string key = u"TypeLib\\" + GuidToWString(LIBID_OrvVdsLib) + u"\\1.0";
    return writeEntries({
        {key, u"", kTypeLibraryName},
        {key + u"\\FLAGS", u"", u"0"},
        {key + u"\\0\\linux64", u"", Utf8ToUtf16(m_Program.string())},
        {key + u"\\HELPDIR", u"", Utf8ToUtf16(m_Program.parent_path().string())},
    });
}

HRESULT OrvVdsRegistrar::UnregisterTypeLibrary() const
{
    return removeKeys({u"TypeLib\\" + GuidToWString(LIBID_OrvVdsLib)});
}

HRESULT OrvVdsRegistrar::RegisterScripts() const
{
    HRESULT hr = RegisterAppId();
    for (const OrvComClassScript& script : kClassScripts) {
        if (FAILED(hr))
            break;
        hr = RegisterClass(script);
    }
    return hr;
}

HRESULT OrvVdsRegistrar::UnregisterScripts() const
{
    HRESULT first = UnregisterAppId();
    for (const OrvComClassScript& script : kClassScripts) {
        const HRESULT hr = UnregisterClass(script);
        if (SUCCEEDED(first))
            first = hr;
    }
    return first;
}
