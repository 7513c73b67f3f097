// A stand-in for the provider object in module tests. It does only what the provider does
// towards the module: join the provider map when it is made (FinalConstruct) and leave it
// when it goes (FinalRelease). It is not the provider; every VDS call answers E_NOTIMPL or
// "not found".
#pragma once

#include "NullVdsInterfaces.h"

#include "platform/com/CComObject.h"
#include "platform/vds/VdsErrors.h"
#include "vds/framework/COrvVdsModule.h"
#include "vds/framework/CVdsObjectBase.h"

#include <signal.h>

#include <atomic>

class MinimalProvider : public CComObjectRootEx,
                        public IVdsProvider,
                        public IVdsProviderPrivate,
                        public CVdsObjectBase<VDS_OT_PROVIDER> {
public:
    using ComMap = ComInterfaceMap<IVdsProvider, IVdsProviderPrivate>;

    // Set by a test that wants the server loop stopped as soon as VDS has loaded it.
    static inline std::atomic<bool> s_stopServerOnLoad{false};
    static inline std::atomic<int> s_loads{0};
    // Called by a successful OnLoad.
    static inline void (*s_onLoaded)() = nullptr;
    // What OnLoad answers.
    static inline std::atomic<HRESULT> s_onLoadResult{S_OK};

    MinimalProvider() { CoCreateGuid(&m_Id); }

    HRESULT FinalConstruct()
    {
        COrvVdsModule::instance().AddProvider(this);
        return S_OK;
    }
    void FinalRelease() { COrvVdsModule::instance().RemoveProvider(GetGuid()); }

    std::string className() const override { return "MinimalProvider"; }

    HRESULT GetProperties(VDS_PROVIDER_PROP*) override { return E_NOTIMPL; }
    HRESULT GetObject(VDS_OBJECT_ID, VDS_OBJECT_TYPE, IUnknown**) override
    {
        return VDS_E_OBJECT_NOT_FOUND;
    }
    HRESULT OnLoad(LPWSTR, IUnknown*) override
    {
        ++s_loads;
        if (FAILED(s_onLoadResult))
            return s_onLoadResult;
        if (s_onLoaded != nullptr)
            s_onLoaded();
        if (s_stopServerOnLoad)
            ::raise(SIGTERM);
        return S_OK;
    }
    HRESULT OnUnload(BOOL) override { return S_OK; }
};
