// The process's table of creatable COM classes, behind CoCreateInstance.
//
// There is no out-of-process activation here: a class is creatable once something in
// the process registered its factory (the program registers its own classes at start-up;
// the VDS service stand-in is registered from the start). Thread-safe.
#pragma once

#include "platform/com/Guid.h"
#include "platform/com/Unknown.h"

#include <functional>
#include <map>
#include <mutex>

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_ALL =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

// Creates an object and queries it for the IID (CreateComInstance<Class> fits).
using ComClassFactory = std::function<HRESULT(REFIID riid, void** ppv)>;

namespace orv::platform {

class ComClassRegistry {
public:
    static ComClassRegistry& instance();

    // CO_E_OBJISREG when the class is registered already.
    HRESULT registerClass(REFCLSID clsid, ComClassFactory factory);
    // S_FALSE when it was not registered.
    HRESULT unregisterClass(REFCLSID clsid);
    bool isRegistered(REFCLSID clsid) const;

    // REGDB_E_CLASSNOTREG for an unknown class; otherwise the factory's result.
    HRESULT createInstance(REFCLSID clsid, REFIID riid, void** ppv) const;

private:
    ComClassRegistry();

    mutable std::mutex m_mutex;  // guards m_factories; never held while a factory runs
    std::map<CLSID, ComClassFactory> m_factories;
};

// Registers the classes the platform provides itself (the VDS service); called once when
// the registry is first used.
void registerPlatformClasses(ComClassRegistry& registry);

}  // namespace orv::platform

// CLASS_E_NOAGGREGATION for an outer object, E_POINTER for a null ppv, REGDB_E_CLASSNOTREG
// for an unknown class; the context flags are accepted and ignored.
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         void** ppv);
