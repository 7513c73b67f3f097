#include "vds/framework/COrvVdsModule.h"

#include "platform/com/CComPtr.h"
#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "platform/service/EventLog.h"
#include "platform/service/EventSourceRegistration.h"
#include "platform/service/ServiceLoop.h"
#include "platform/service/ServiceUnit.h"
#include "platform/strings/ResourceString.h"
#include "platform/strings/StringTable.h"
#include "platform/vds/ProviderHostLock.h"
#include "platform/vds/VdsProviderHost.h"
#include "platform/vds/VdsServiceInterfaces.h"
#include "trace/Trace.h"
#include "trace/TraceSinks.h"
#include "vds/framework/OrvVdsIds.h"
#include "vds/framework/OrvVdsRegistrar.h"
#include "vds/framework/RegistryText.h"
#include "vds/framework/VdsResources.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <strings.h>
#include <system_error>

using Merrow::Trace::TC_VDS_MODULE;
using Merrow::Trace::TV_DETAIL;
using Merrow::Trace::TV_ERROR;
using Merrow::Trace::TV_INFO;
using orv::platform::EventLog;
using orv::platform::RegistryKey;
using orv::platform::ServiceUnit;
using orv::platform::Utf16ToUtf8;

namespace {

constexpr UINT kTraceProductNameId = 107;
constexpr UINT kProviderProductId = 106;
constexpr const char16_t* kLocalService = u"LocalService";
constexpr const char16_t* kServiceParameters = u"ServiceParameters";
constexpr std::size_t kUseNativeTraceFilesBytes = 10;
constexpr std::size_t kCategoryFilterBytes = 260;

struct SwitchRow {
    const char* name;
    COrvVdsModule::Action action;
};

constexpr SwitchRow kSwitches[] = {
    {"RegServer", COrvVdsModule::Action::RegServer},
    {"UnregServer", COrvVdsModule::Action::UnregServer},
    {"Service", COrvVdsModule::Action::Service},
    {"h", COrvVdsModule::Action::Help},
    {"help", COrvVdsModule::Action::Help},
    {"-help", COrvVdsModule::Action::Help},
    {"?", COrvVdsModule::Action::Help},
};

constexpr const char* kUsage =
    "Usage: orvvds [switch]\n"
    "\n"
    "The VDS hardware provider for Corvane iSCSI arrays.\n"
    "\n"
    "  (none)         run the server: as the OrvVds service when it was registered with\n"
    "                 -Service, otherwise as a plain server process; it stops on SIGTERM\n"
    "  -RegServer     register the program, its classes and the provider with VDS\n"
    "  -Service       the same, and install the systemd service OrvVds\n"
    "  -UnregServer   remove all of that again (the list of managed arrays stays)\n"
    "  -h, --help, /? show this text\n"
    "\n"
    "Switches start with \"-\" or \"/\" in any letter case.\n"
    "\n"
    "Environment:\n"
    "  ORVDS_REGISTRY        the registry file (default /var/lib/orvds/registry.db)\n"
    "  ORVDS_PROTECTION_KEY  the password protection key (default protection.key beside\n"
    "                        the registry; it belongs with the registry)\n"
    "  ORVDS_UNIT_DIR        where -Service writes the unit (default /etc/systemd/system)\n"
    "  ORVDS_RESOURCES       the product texts library (default libOrv_Resources.so beside\n"
    "                        the program or in ../lib)\n"
    "  ORVDS_VDS_VERSION     the version the VDS stand-in reports (default 1.1)\n"
    "  MWTRACE_OUTPUT_FILE, MWTRACE_VERBOSITY, MWTRACE_CATAGORY  tracing (see README)\n";

std::optional<COrvVdsModule::Action> switchAction(const std::string& argument)
{
    if (argument.size() < 2 || (argument[0] != '-' && argument[0] != '/'))
        return std::nullopt;
    for (const SwitchRow& row : kSwitches) {
        if (::strcasecmp(argument.c_str() + 1, row.name) == 0)
            return row.action;
    }
    return std::nullopt;
}

// The platform's message box: the service name as the title, on standard error.
void messageBox(const std::u16string& title, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", Utf16ToUtf8(title).c_str(), text);
}

std::filesystem::path runningProgram()
{
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path("orvvds") : program;
}

HRESULT openAppIdKey(REGSAM access, RegistryKey& key)
{
    const LSTATUS status = key.open(RegistryKey::root(HKEY_CLASSES_ROOT),
                                    OrvVdsRegistrar::AppIdKeyPath(), access);
    return status == ERROR_SUCCESS ? S_OK : REGDB_E_READREGDB;
}

} // namespace

COrvVdsModule& COrvVdsModule::instance()
{
    static COrvVdsModule module;
    return module;
}

COrvVdsModule::COrvVdsModule()
    : m_ServiceName(VdsResources::programString(orv::platform::StringTable::IDS_SERVICENAME)
                        .value_or(u"OrvVds")),
      m_ProgramPath(runningProgram())
{
}

COrvVdsModule::Action COrvVdsModule::ParseCommandLine(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) {
        if (auto action = switchAction(argument))
            return *action;
    }
    return Action::Run;
}

void COrvVdsModule::PrintUsage(std::FILE* out) { std::fputs(kUsage, out); }

int COrvVdsModule::WinMain(int argc, char** argv, ComClassFactory providerClass, HostedFrontEndFactory frontEnd)
{
    const Action action = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (action == Action::Help) {
        PrintUsage(stdout);
        return 0;
    }
    SetProviderClass(std::move(providerClass));
    m_FrontEndFactory = std::move(frontEnd);
    if (!OpenRegistry())
        return 1;
    ConfigureTracing();
    MWSCOPE_CAT(TV_DETAIL, TC_VDS_MODULE, "");
    HRESULT hr = S_OK;
    switch (action) {
    case Action::RegServer:
        hr = RegServer(false);
        break;
    case Action::Service:
        hr = RegServer(true);
        break;
    case Action::UnregServer:
        hr = UnregServer();
        break;
    case Action::Run:
        hr = Start();
        break;
    case Action::Help:
        break;
    }
    if (SUCCEEDED(hr))
        return 0;
    std::fprintf(stderr, "%s: failed with 0x%08X\n", Utf16ToUtf8(m_ServiceName).c_str(),
                 static_cast<unsigned>(hr));
    return 1;
}

// Every action needs the registry; a path that cannot serve as one is named with its
// problem here, before anything else fails on it with a bare code.
bool COrvVdsModule::OpenRegistry()
{
    const std::filesystem::path path = orv::platform::Registry::defaultPath();
    std::shared_ptr<orv::platform::Registry> registry;
    const LSTATUS status = orv::platform::Registry::open(path, registry);
    if (status == ERROR_SUCCESS) {
        orv::platform::Registry::setProcessRegistry(std::move(registry));
        return true;
    }
    std::fprintf(stderr, "%s: the registry %s cannot be opened: %s\n",
                 Utf16ToUtf8(m_ServiceName).c_str(), path.c_str(),
                 orv::platform::Registry::describeOpenFailure(path, status).c_str());
    return false;
}

// ---- registration ----------------------------------------------------------------------

HRESULT COrvVdsModule::RegServer(bool asService)
{
    MWSCOPE_CAT(TV_DETAIL, TC_VDS_MODULE, "");
    if (ServiceUnit(Utf16ToUtf8(m_ServiceName)).isInstalled() && FAILED(UninstallService()))
        return E_FAIL;
    const OrvVdsRegistrar registrar(m_ProgramPath, m_ServiceName);
    HRESULT hr = registrar.RegisterAppId();
    if (FAILED(hr))
        return hr;
    SetLocalService(false);
    if (asService) {
        SetLocalService(true);
        hr = InstallService();
        if (FAILED(hr))
            return hr;
    }
    return RegisterServer(true);
}

HRESULT COrvVdsModule::RegisterServer(bool bRegTypeLib)
{
    MWSCOPE_CAT(TV_DETAIL, TC_VDS_MODULE, "");
    if (bRegTypeLib) {
        const HRESULT hr = OrvVdsRegistrar(m_ProgramPath, m_ServiceName).RegisterTypeLibrary();
        if (FAILED(hr))
            return hr;
    }
    const HRESULT hr = RegisterProgram();
    if (FAILED(hr))
        MWTRACE(TV_ERROR, TC_VDS_MODULE) << "registration failed: 0x" << std::hex << hr << MWENDREC;
    return S_OK;
}

// The scripts, the AppID's service values ("LocalService" whatever the switch), then the
// provider with VDS.
HRESULT COrvVdsModule::RegisterProgram()
{
    HRESULT hr = OrvVdsRegistrar(m_ProgramPath, m_ServiceName).RegisterScripts();
    if (FAILED(hr))
        return hr;
    RegistryKey appId;
    hr = openAppIdKey(KEY_WRITE, appId);
    if (FAILED(hr))
        return hr;
    if (appId.setString(kLocalService, m_ServiceName) != ERROR_SUCCESS ||
        appId.setString(kServiceParameters, u"-Service") != ERROR_SUCCESS)
        return REGDB_E_WRITEREGDB;
    return RegisterProviderWithVds();
}

HRESULT COrvVdsModule::RegisterProviderWithVds()
{
    CComPtr<IVdsAdmin> admin;
    HRESULT hr = CoCreateInstance(CLSID_VdsService, nullptr, CLSCTX_ALL, IID_IVdsAdmin,
                                  admin.put_void());
    if (FAILED(hr))
        return hr;
    using orv::platform::StringTable;
    // VDS shows this name as it is, so it goes there formatted like GetProperties's.
    const std::u16string format =
        VdsResources::programString(StringTable::IDS_PROVIDER_NAME_FORMAT).value_or(u"");
    std::u16string name = orv::platform::formatResourceString(
        format, {VdsResources::libraryString(kTraceProductNameId).value_or(u""),
                 VdsResources::libraryString(kProviderProductId).value_or(u"")});
    std::u16string version =
        VdsResources::programString(StringTable::IDS_PROVIDER_VERSION).value_or(u"");
    return admin->RegisterProvider(ORV_PROVIDER_ID, CLSID_OrvVdsProvider, name.data(),
                                   VDS_PT_HARDWARE, nullptr, version.data(),
                                   ORV_PROVIDER_VERSION_ID);
}

HRESULT COrvVdsModule::UnregServer()
{
    MWSCOPE_CAT(TV_DETAIL, TC_VDS_MODULE, "");
    const HRESULT hr = UnregisterServer(true);
    SetLocalService(false);
    UninstallService();
    RemoveSettings();
    return hr;
}

HRESULT COrvVdsModule::UnregisterServer(bool bUnRegTypeLib)
{
    MWSCOPE_CAT(TV_DETAIL, TC_VDS_MODULE, "");
    const OrvVdsRegistrar registrar(m_ProgramPath, m_ServiceName);
    CComPtr<IVdsAdmin> admin;
    HRESULT hr = CoCreateInstance(CLSID_VdsService, nullptr, CLSCTX_ALL, IID_IVdsAdmin,
                                  admin.put_void());
    if (SUCCEEDED(hr))
        hr = admin->UnregisterProvider(ORV_PROVIDER_ID);
    if (SUCCEEDED(hr))
        hr = registrar.UnregisterScripts();
    if (FAILED(hr))
        MWTRACE(TV_ERROR, TC_VDS_MODULE) << "unregistration failed: 0x" << std::hex << hr << MWENDREC;
    return bUnRegTypeLib ? registrar.UnregisterTypeLibrary() : S_OK;
}

// The trace settings and the event source: written by every run of the program, so
// removed only when the program unregisters itself. The managed-array list is the
// administrator's and stays.
void COrvVdsModule::RemoveSettings()
{
    orv::platform::EventSourceRegistration::unregisterSource();
    const std::u16string settings = TraceSettingsKeyPath();
    if (settings.empty())
        return;
    RegistryKey hklm = RegistryKey::root(HKEY_LOCAL_MACHINE);
    hklm.deleteTree(settings);
    // The product key goes too once nothing else lives in it.
    hklm.deleteKey(settings.substr(0, settings.rfind(u'\\')));
}

HRESULT COrvVdsModule::SetLocalService(bool present)
{
    RegistryKey appId;
    HRESULT hr = openAppIdKey(KEY_ALL_ACCESS, appId);
    if (FAILED(hr))
        return hr;
    const LSTATUS status =
        present ? appId.setString(kLocalService, m_ServiceName) : appId.deleteValue(kLocalService);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK
                                                                     : HRESULT_FROM_WIN32(status);
}

bool COrvVdsModule::HasLocalService()
{
    RegistryKey appId;
    std::u16string service;
    return SUCCEEDED(openAppIdKey(KEY_READ, appId)) &&
           appId.queryString(kLocalService, service) == ERROR_SUCCESS;
}

HRESULT COrvVdsModule::InstallService()
{
    ServiceUnit unit(Utf16ToUtf8(m_ServiceName));
    if (unit.isInstalled())
        return S_FALSE;
    // The service's dependency on the RPC service has no counterpart here; what it needs
    // first on this platform is the network to its arrays. The unit starts the program
    // without a switch: "-Service" is a registration switch here, and whether the server
    // runs as the service is the AppID's "LocalService" value's to say.
    // systemd makes the socket's folder (/run/orvvds) and the registry's (/var/lib/orvds).
    const orv::platform::ServiceDefinition definition{
        Utf16ToUtf8(m_ServiceName), m_ProgramPath, {}, {"network-online.target"}, "orvvds", "orvds"};
    const HRESULT hr = unit.install(definition);
    if (FAILED(hr)) {
        const bool missing = hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
        const bool denied = hr == HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
        messageBox(m_ServiceName, missing || denied ? "Could not open Service Manager"
                                                    : "Could not start service");
        const std::string folder = ServiceUnit::defaultUnitDirectory().string();
        const std::string problem = missing  ? "the unit folder " + folder + " does not exist"
                                    : denied ? "the unit folder " + folder + " cannot be written"
                                             : "the unit cannot be written to " + folder;
        messageBox(m_ServiceName, problem.c_str());
    }
    return hr;
}

HRESULT COrvVdsModule::UninstallService()
{
    ServiceUnit unit(Utf16ToUtf8(m_ServiceName));
    if (!unit.isInstalled())
        return S_OK;
    const HRESULT hr = unit.uninstall();
    if (FAILED(hr))
        messageBox(m_ServiceName, "Could not delete service");
    return hr;
}

// ---- running ---------------------------------------------------------------------------

void COrvVdsModule::SetProviderClass(ComClassFactory factory)
{
    m_ProviderFactory = std::move(factory);
}

HRESULT COrvVdsModule::InitializeSecurity() { return S_OK; }

HRESULT COrvVdsModule::RegisterClassObjects()
{
    if (!m_ProviderFactory) {
        MWTRACE(TV_ERROR, TC_VDS_MODULE) << "no provider class in this program" << MWENDREC;
        return REGDB_E_CLASSNOTREG;
    }
    return orv::platform::ComClassRegistry::instance().registerClass(CLSID_OrvVdsProvider,
                                                                     m_ProviderFactory);
}

void COrvVdsModule::RevokeClassObjects()
{
    orv::platform::ComClassRegistry::instance().unregisterClass(CLSID_OrvVdsProvider);
}

HRESULT COrvVdsModule::Start()
{
    MWSCOPE_CAT(TV_DETAIL, TC_VDS_MODULE, "");
    if (FAILED(InitializeSecurity()))
        EventLog::report(EVENTLOG_ERROR_TYPE, "Failed to initialize the security descriptor");
    HRESULT hr = RegisterClassObjects();
    if (FAILED(hr)) {
        EventLog::report(EVENTLOG_ERROR_TYPE, "Failed to register the class objects");
        return hr;
    }
    std::optional<orv::platform::ServiceLoop> loop;
    try {
        loop.emplace();
    } catch (const std::exception&) {
        EventLog::report(EVENTLOG_ERROR_TYPE, "Handler not installed");
        RevokeClassObjects();
        return E_FAIL;
    }
    hr = Serve(*loop);
    RevokeClassObjects();
    return hr;
}

// What VDS does from outside on Windows: activate the registered provider; then the loop.
HRESULT COrvVdsModule::Serve(orv::platform::ServiceLoop& loop)
{
    const bool asService = HasLocalService();
    if (asService)
        EventLog::report(EVENTLOG_INFORMATION_TYPE, "Service started");
    // The lock goes beside the registry this process really uses, wherever it was opened.
    const std::shared_ptr<orv::platform::Registry> registry = orv::platform::Registry::processRegistry();
    const std::filesystem::path registryPath = registry ? registry->path() : orv::platform::Registry::defaultPath();
    std::string refusal;
    const auto hostLock = orv::platform::ProviderHostLock::acquire(registryPath, m_ProgramPath.filename().string(),
                                                                   refusal);
    if (!hostLock) {
        const std::string text = "The provider cannot be hosted: " + refusal;
        MWTRACE(TV_ERROR, TC_VDS_MODULE) << text << MWENDREC;
        EventLog::report(EVENTLOG_ERROR_TYPE, text.c_str());
        std::fprintf(stderr, "%s: %s.\n", Utf16ToUtf8(m_ServiceName).c_str(), text.c_str());
        return E_FAIL;
    }
    orv::platform::VdsProviderHost host;
    const HRESULT hr = host.loadRegistered(ORV_PROVIDER_ID);
    if (FAILED(hr)) {
        char text[96];
        std::snprintf(text, sizeof text, "The provider could not be loaded (0x%08X)",
                      static_cast<unsigned>(hr));
        MWTRACE(TV_ERROR, TC_VDS_MODULE) << text << MWENDREC;
        EventLog::report(EVENTLOG_ERROR_TYPE, text);
        return hr;
    }
    const HRESULT served = ServeLoaded(loop, host);
    if (asService && SUCCEEDED(served))
        EventLog::report(EVENTLOG_INFORMATION_TYPE, "Service stopped");
    // The last provider leaving ends the process inside this call.
    host.unload();
    SetServingLoop(nullptr);
    return served;
}

// The front end lives exactly while the loop runs, so no front end ever sees an unloaded
// provider.
HRESULT COrvVdsModule::ServeLoaded(orv::platform::ServiceLoop& loop, orv::platform::VdsProviderHost& host)
{
    std::unique_ptr<HostedFrontEnd> frontEnd;
    try {
        if (m_FrontEndFactory)
            frontEnd = m_FrontEndFactory(host);
    } catch (const std::exception& failure) {
        const std::string text = std::string("The front ends' way in could not be opened: ") + failure.what();
        MWTRACE(TV_ERROR, TC_VDS_MODULE) << text << MWENDREC;
        EventLog::report(EVENTLOG_ERROR_TYPE, text.c_str());
        std::fprintf(stderr, "%s: %s.\n", Utf16ToUtf8(m_ServiceName).c_str(), text.c_str());
        return E_FAIL;
    }
    // Only now does the last provider's departure end the process: a provider released
    // while it failed to load must leave the error to be reported above.
    SetServingLoop(&loop);
    loop.run();
    frontEnd.reset();
    return S_OK;
}

void COrvVdsModule::SetServingLoop(orv::platform::ServiceLoop* loop)
{
    std::lock_guard lock(m_MapMutex);
    m_pLoop = loop;
}

HRESULT COrvVdsModule::TestVDSVersion()
{
    MWSCOPE_CAT(TV_DETAIL, TC_VDS_MODULE, "");
    CComPtr<IVdsService> service;
    HRESULT hr = CoCreateInstance(CLSID_VdsService, nullptr, CLSCTX_ALL, IID_IVdsService,
                                  service.put_void());
    if (FAILED(hr))
        return hr;
    VDS_SERVICE_PROP properties{};
    hr = service->GetProperties(&properties);
    if (FAILED(hr))
        return hr;
    const std::string version = Utf16ToUtf8(properties.pwszVersion);
    CoTaskMemFree(properties.pwszVersion);
    MWTRACE(TV_INFO, TC_VDS_MODULE) << "VDS version " << version << MWENDREC;
    return std::strtod(version.c_str(), nullptr) > 1.0 ? S_OK : E_FAIL;
}

// ---- the provider map ------------------------------------------------------------------

void COrvVdsModule::AddProvider(ProviderBase* provider)
{
    std::lock_guard lock(m_MapMutex);
    if (!m_ProviderMap.emplace(provider->GetGuid(), provider).second)
        MWTRACE(TV_ERROR, TC_VDS_MODULE) << "Insert into provider map failed!" << MWENDREC;
}

COrvVdsModule::ProviderBase* COrvVdsModule::GetProvider(const GUID& id)
{
    std::lock_guard lock(m_MapMutex);
    auto it = m_ProviderMap.find(id);
    return it == m_ProviderMap.end() ? nullptr : it->second;
}

std::size_t COrvVdsModule::ProviderCount()
{
    std::lock_guard lock(m_MapMutex);
    return m_ProviderMap.size();
}

void COrvVdsModule::ProviderObjectBorn()
{
    std::lock_guard lock(m_LiveMutex);
    ++m_LiveProviders;
}

// Notified under the lock: a waiter that sees the count reach zero may end the process,
// and the condition variable with it, while a notify outside the lock still ran.
void COrvVdsModule::ProviderObjectGone()
{
    std::lock_guard lock(m_LiveMutex);
    --m_LiveProviders;
    m_LiveGone.notify_all();
}

bool COrvVdsModule::WaitForProviderObjects(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_LiveMutex);
    return m_LiveGone.wait_for(lock, limit, [this] { return m_LiveProviders == 0; });
}

HRESULT COrvVdsModule::RemoveProvider(const GUID& id)
{
    std::lock_guard lock(m_MapMutex);
    if (m_ProviderMap.erase(id) == 0) {
        MWTRACE(TV_ERROR, TC_VDS_MODULE) << "Remove from provider map failed!" << MWENDREC;
        return E_FAIL;
    }
    if (!m_ProviderMap.empty() || m_pLoop == nullptr)
        return S_OK;
    // Under the lock, so the loop cannot go away meanwhile; quit only writes to a pipe.
    if (m_pLoop != nullptr)
        m_pLoop->quit(0);
    EndProcess();
}

void COrvVdsModule::EndProcess()
{
    MWTRACE(TV_INFO, TC_VDS_MODULE) << "the last provider left: the process ends" << MWENDREC;
    std::fflush(nullptr);
    std::_Exit(0);
}

// ---- settings --------------------------------------------------------------------------

std::u16string COrvVdsModule::TraceSettingsKeyPath()
{
    const auto product = VdsResources::libraryString(kTraceProductNameId);
    if (!product)
        return {};
    return orv::platform::formatResourceString(u"Software\\%s\\VDS", {*product});
}

COrvVdsModule::TraceSettings COrvVdsModule::LoadTraceSettings()
{
    TraceSettings settings;
    const std::u16string path = TraceSettingsKeyPath();
    RegistryKey key;
    if (path.empty() ||
        key.create(RegistryKey::root(HKEY_LOCAL_MACHINE), path, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return settings;

    std::array<BYTE, kCategoryFilterBytes> text{};
    DWORD type = REG_NONE;
    DWORD size = kUseNativeTraceFilesBytes;
    if (key.queryValue(u"UseNativeTraceFiles", &type, text.data(), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        const std::string number = Utf16ToUtf8(RegistryStringText(text.data(), size));
        settings.useNativeTraceFiles = std::strtol(number.c_str(), nullptr, 10) != 0;
    }

    size = kCategoryFilterBytes;
    LSTATUS status = key.queryValue(u"CategoryFilter", &type, text.data(), &size);
    if (status == ERROR_SUCCESS && type == REG_SZ)
        settings.categoryFilter = RegistryStringText(text.data(), size);
    else if (status == ERROR_FILE_NOT_FOUND)
        key.setString(u"CategoryFilter", settings.categoryFilter);

    DWORD severity = 0;
    status = key.queryDword(u"SeverityFilter", severity);
    if (status == ERROR_SUCCESS)
        settings.severityFilter = severity;
    else if (status == ERROR_FILE_NOT_FOUND)
        key.setDword(u"SeverityFilter", settings.severityFilter);
    return settings;
}

void COrvVdsModule::ConfigureTracing()
{
    const TraceSettings settings = LoadTraceSettings();
    orv::platform::EventSourceRegistration::installAsTraceRegistrar();
    Merrow::Trace::selectTraceSink(settings.useNativeTraceFiles, settings.severityFilter,
                                   Utf16ToUtf8(settings.categoryFilter));
}
