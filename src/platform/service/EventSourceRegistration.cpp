#include "platform/service/EventSourceRegistration.h"

#include "platform/com/TextConversion.h"
#include "platform/registry/RegistryKey.h"
#include "platform/registry/RegistryTransaction.h"
#include "trace/WindowsTraceStreamSinkClass.h"

namespace orv::platform {
namespace {

constexpr DWORD kMaxSize = 1048576;
constexpr DWORD kCategoryCount = 11;
constexpr DWORD kTypesSupported = 7;  // error, warning and information
constexpr const char16_t* kLogFile = u"%SystemRoot%\\system32\\config\\VDS_Provider.evt";

std::filesystem::path runningProgram()
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

LSTATUS writeValues(RegistryKey& key, const std::u16string& messageFile)
{
    LSTATUS status = key.setDword(u"MaxSize", kMaxSize);
    if (status == ERROR_SUCCESS)
        status = key.setDword(u"CategoryCount", kCategoryCount);
    if (status == ERROR_SUCCESS)
        status = key.setString(u"File", kLogFile, REG_EXPAND_SZ);
    if (status == ERROR_SUCCESS)
        status = key.setString(u"CategoryMessageFile", messageFile);
    if (status == ERROR_SUCCESS)
        status = key.setString(u"EventMessageFile", messageFile);
    if (status == ERROR_SUCCESS)
        status = key.setDword(u"TypesSupported", kTypesSupported);
    return status;
}

}  // namespace

LSTATUS EventSourceRegistration::registerSource()
{
    return registerSource(runningProgram());
}

LSTATUS EventSourceRegistration::registerSource(const std::filesystem::path& executable)
{
    const RegistryKey hklm = RegistryKey::root(HKEY_LOCAL_MACHINE);
    RegistryTransaction transaction(hklm.registry());
    LSTATUS status = transaction.status();
    RegistryKey source;
    if (status == ERROR_SUCCESS)
        status = source.create(hklm, kKey, KEY_SET_VALUE);
    if (status == ERROR_SUCCESS)
        status = writeValues(source, Utf8ToUtf16(executable.string()));
    if (status == ERROR_SUCCESS)
        status = transaction.commit();
    return status;
}

LSTATUS EventSourceRegistration::unregisterSource()
{
    RegistryKey hklm = RegistryKey::root(HKEY_LOCAL_MACHINE);
    return hklm.deleteTree(kKey);
}

void EventSourceRegistration::installAsTraceRegistrar()
{
    // The sink cannot act on a failure here; the event log works without the keys.
    Merrow::Trace::setEventSourceRegistrar([] { registerSource(); });
}

}  // namespace orv::platform
