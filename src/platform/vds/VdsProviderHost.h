// The stand-in for VDS loading a hardware provider into its process: creates the
// provider object by class, calls OnLoad with an advise sink, and keeps the latest
// notifications the provider sends in a bounded ring, forwarding all of them
// (RecordingAdviseSink); unloading calls OnUnload and
// drops the host's reference.
//
// One thread drives a host (load, unload, provider()); the recorded notifications may be
// read from any thread.
#pragma once

#include "platform/com/CComPtr.h"
#include "platform/vds/RecordingAdviseSink.h"
#include "platform/vds/VdsInterfaces.h"

namespace orv::platform {

class VdsProviderHost {
public:
    VdsProviderHost();
    ~VdsProviderHost();
    VdsProviderHost(const VdsProviderHost&) = delete;
    VdsProviderHost& operator=(const VdsProviderHost&) = delete;

    // CoCreateInstance of `providerClass` for IVdsProvider, then IVdsProviderPrivate::
    // OnLoad(no machine name, the sink). A failure of any step is returned and nothing
    // stays loaded; E_UNEXPECTED while a provider is loaded already.
    HRESULT load(REFCLSID providerClass);
    // As load, with the class that the provider registered with the VDS service.
    HRESULT loadRegistered(const VDS_OBJECT_ID& providerId);
    // OnUnload(bForceUnload), then the provider reference goes. S_FALSE when nothing was
    // loaded; otherwise OnUnload's result.
    HRESULT unload(BOOL bForceUnload = FALSE);

    IVdsProvider* provider() const { return m_provider.get(); }
    const RecordingAdviseSink& notifications() const { return *m_sink; }
    RecordingAdviseSink& notifications() { return *m_sink; }

private:
    CComPtr<CComObject<RecordingAdviseSink>> m_sink;
    CComPtr<IVdsProvider> m_provider;
};

}  // namespace orv::platform
