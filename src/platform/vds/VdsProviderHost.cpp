#include "platform/vds/VdsProviderHost.h"

#include "platform/com/ComClassRegistry.h"
#include "platform/vds/VdsService.h"

#include <new>

namespace orv::platform {

VdsProviderHost::VdsProviderHost()
{
    CComObject<RecordingAdviseSink>* sink = nullptr;
    if (FAILED(CComObject<RecordingAdviseSink>::CreateInstance(&sink)))
        throw std::bad_alloc();
    m_sink = sink;
}

VdsProviderHost::~VdsProviderHost()
{
    unload();
}

HRESULT VdsProviderHost::load(REFCLSID providerClass)
{
    if (m_provider)
        return E_UNEXPECTED;
    CComPtr<IVdsProvider> provider;
    HRESULT hr = CoCreateInstance(providerClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IVdsProvider,
                                  provider.put_void());
    if (FAILED(hr))
        return hr;
    CComPtr<IVdsProviderPrivate> loadable;
    hr = provider.QueryInterface(loadable.put());
    if (FAILED(hr))
        return hr;
    IVdsAdviseSink* sink = m_sink.get();
    hr = loadable->OnLoad(nullptr, sink);
    if (FAILED(hr))
        return hr;
    m_provider = std::move(provider);
    return hr;
}

HRESULT VdsProviderHost::loadRegistered(const VDS_OBJECT_ID& providerId)
{
    VdsProviderRegistration registration;
    HRESULT hr = VdsService::findProvider(providerId, registration);
    if (FAILED(hr))
        return hr;
    return load(registration.clsid);
}

HRESULT VdsProviderHost::unload(BOOL bForceUnload)
{
    if (!m_provider)
        return S_FALSE;
    CComPtr<IVdsProviderPrivate> loaded;
    HRESULT hr = m_provider.QueryInterface(loaded.put());
    if (SUCCEEDED(hr))
        hr = loaded->OnUnload(bForceUnload);
    loaded.Release();
    m_provider.Release();
    return hr;
}

}  // namespace orv::platform
