// COrvVdsModule: the process-wide module of the provider program. It reads the command
// line, registers and unregisters the program (COM classes, AppID, type library, the
// systemd service that stands in for the Windows service, the provider with VDS), runs the
// server, keeps the map from provider GUID to provider, and configures tracing.
//
// Command line: "RegServer", "UnregServer" or "Service" after "-" or "/", in any letter
// case; without a switch the program runs as a server (as the service when the AppID has
// a "LocalService" value).
//
// Running on this platform: the server registers its class objects in the process's class
// table, and the VDS stand-in (VdsProviderHost) activates the registered provider in this
// process, as VDS would from outside. The server runs until SIGTERM or SIGINT, or until
// the last provider leaves the provider map, which ends the server process at once (a
// program that hosts the provider in-process, without Start, outlives its providers). A
// provider that fails to load ends the server with its error, in the event log too.
//
// The program names the provider class it serves: WinMain takes its factory, so the
// class cannot be lost to the linker the way a self-registering static object can. It may
// name a front end too (orvvds's socket), which the server runs while the provider is
// loaded.
//
// One process hosts the provider for one registry: the server takes the provider-host
// lock beside the registry before it loads the provider, and refuses to start without it.
//
// Threads: WinMain on the main thread; the provider map from any thread (m_MapMutex, a
// leaf lock: the map holds no references and calls nothing while it is held).
#pragma once

#include "platform/com/ComClassRegistry.h"
#include "platform/vds/VdsTypes.h"
#include "vds/framework/CVdsObjectBase.h"
#include "vds/framework/HostedFrontEnd.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class COrvVdsProvider;

namespace orv::platform {
class ServiceLoop;
class VdsProviderHost;
}

class COrvVdsModule {
public:
    using ProviderBase = CVdsObjectBase<VDS_OT_PROVIDER>;

    enum class Action { RegServer, UnregServer, Service, Run, Help };

    struct TraceSettings {
        bool useNativeTraceFiles = false;
        DWORD severityFilter = 2;
        std::u16string categoryFilter = u".*";
    };

    static COrvVdsModule& instance();

    // The first switch that names an action ("h", "help", "?" and "-help" ask for Help);
    // Run when there is none.
    static Action ParseCommandLine(const std::vector<std::string>& arguments);

    // The program's main: the switches explained when asked (nothing else is touched);
    // otherwise the registry opened, tracing, then the action of the command line with
    // `providerClass` as the class the server makes creatable. The exit code.
    int WinMain(int argc, char** argv, ComClassFactory providerClass, HostedFrontEndFactory frontEnd = {});
    static void PrintUsage(std::FILE* out);

    // ---- registration -------------------------------------------------------------------

    // "RegServer" (asService false) and "Service" (true).
    HRESULT RegServer(bool asService);
    // "UnregServer": unregisters everything of the program, service and settings included.
    HRESULT UnregServer();
    // The type library, then the program's own registration (scripts, AppID values, the
    // provider with VDS), whose failures are traced but not returned.
    HRESULT RegisterServer(bool bRegTypeLib);
    // The provider leaves VDS and, if it did, the scripts go; then the type library, whose
    // result is returned.
    HRESULT UnregisterServer(bool bUnRegTypeLib);

    // ---- running ------------------------------------------------------------------------

    // The seam through which the provider's sources make the provider class creatable.
    void SetProviderClass(ComClassFactory factory);
    // Runs the server until it is told to stop (or ends the process with the last provider).
    HRESULT Start();
    // Process-wide COM security has no counterpart here: objects are reached only in this
    // process. Answers S_OK. (On Windows it is a DACL granting COM execute to
    // Administrators, LocalSystem and Backup Operators, packet privacy, identify level.)
    HRESULT InitializeSecurity();
    // S_OK when the VDS service reports a version above 1.0, E_FAIL otherwise; a failure to
    // reach the service or read its properties is returned as it is.
    HRESULT TestVDSVersion();

    // ---- the provider map ---------------------------------------------------------------

    // Maps the provider's GUID (its object id) to it; no reference is held. An id in use
    // already is traced ("Insert into provider map failed!") and left as it was.
    void AddProvider(ProviderBase* provider);
    // The provider with this GUID, or null; no reference is added.
    ProviderBase* GetProvider(const GUID& id);
    template <class Provider = COrvVdsProvider> Provider* GetProviderAs(const GUID& id)
    {
        return static_cast<Provider*>(GetProvider(id));
    }
    // S_OK while other providers remain, E_FAIL for an id that is not in the map. When the
    // last provider leaves a running server (Start), its loop is told to quit and the
    // process ends at once with status 0; elsewhere the map is just left empty.
    HRESULT RemoveProvider(const GUID& id);
    std::size_t ProviderCount();

    // Provider objects alive in this process, from construction to the end of their
    // destruction. A provider can end on its own background thread (its last reference
    // goes there), after the host let go of it; a program that hosts the provider waits
    // for it here before it leaves, so that no provider thread runs while the process ends.
    void ProviderObjectBorn();
    void ProviderObjectGone();
    // False when a provider object is still alive after `limit`.
    bool WaitForProviderObjects(std::chrono::milliseconds limit);

    // ---- settings -----------------------------------------------------------------------

    // The trace settings under HKLM\Software\<product>\VDS, with the defaults of missing
    // "CategoryFilter" and "SeverityFilter" written back; the defaults when the key cannot
    // be read or made.
    TraceSettings LoadTraceSettings();
    // LoadTraceSettings, the event-source registrar, then the trace sink.
    void ConfigureTracing();
    static std::u16string TraceSettingsKeyPath();

    const std::u16string& ServiceName() const { return m_ServiceName; }
    const std::filesystem::path& ProgramPath() const { return m_ProgramPath; }

private:
    COrvVdsModule();

    std::mutex m_LiveMutex;
    std::condition_variable m_LiveGone;
    std::size_t m_LiveProviders = 0; // guarded by m_LiveMutex, a leaf lock

    bool OpenRegistry();
    HRESULT RegisterProgram();
    HRESULT RegisterProviderWithVds();
    HRESULT SetLocalService(bool present);
    bool HasLocalService();
    HRESULT InstallService();
    HRESULT UninstallService();
    void RemoveSettings();
    HRESULT RegisterClassObjects();
    void RevokeClassObjects();
    HRESULT Serve(orv::platform::ServiceLoop& loop);
    HRESULT ServeLoaded(orv::platform::ServiceLoop& loop, orv::platform::VdsProviderHost& host);
    void SetServingLoop(orv::platform::ServiceLoop* loop);
    [[noreturn]] void EndProcess();

    std::u16string m_ServiceName;
    std::filesystem::path m_ProgramPath;
    ComClassFactory m_ProviderFactory;
    HostedFrontEndFactory m_FrontEndFactory;

    std::mutex m_MapMutex; // guards m_ProviderMap and m_pLoop
    std::map<GUID, ProviderBase*> m_ProviderMap;
    // Set only while a loaded provider is being served: its departure ends the process.
    orv::platform::ServiceLoop* m_pLoop = nullptr;
};
