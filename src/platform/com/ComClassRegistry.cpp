#include "platform/com/ComClassRegistry.h"

namespace orv::platform {

ComClassRegistry::ComClassRegistry()
{
    registerPlatformClasses(*this);
}

ComClassRegistry& ComClassRegistry::instance()
{
    static ComClassRegistry registry;
    return registry;
}

HRESULT ComClassRegistry::registerClass(REFCLSID clsid, ComClassFactory factory)
{
    if (!factory)
        return E_INVALIDARG;
    std::lock_guard lock(m_mutex);
    if (!m_factories.emplace(clsid, std::move(factory)).second)
        return CO_E_OBJISREG;
    return S_OK;
}

HRESULT ComClassRegistry::unregisterClass(REFCLSID clsid)
{
    std::lock_guard lock(m_mutex);
    return m_factories.erase(clsid) == 1 ? S_OK : S_FALSE;
}

bool ComClassRegistry::isRegistered(REFCLSID clsid) const
{
    std::lock_guard lock(m_mutex);
    return m_factories.count(clsid) == 1;
}

HRESULT ComClassRegistry::createInstance(REFCLSID clsid, REFIID riid, void** ppv) const
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    ComClassFactory factory;
    {
        std::lock_guard lock(m_mutex);
        auto found = m_factories.find(clsid);
        if (found == m_factories.end())
            return REGDB_E_CLASSNOTREG;
        factory = found->second;
    }
    return factory(riid, ppv);
}

}  // namespace orv::platform

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD /*dwClsContext*/,
                         REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter != nullptr)
        return CLASS_E_NOAGGREGATION;
    return orv::platform::ComClassRegistry::instance().createInstance(rclsid, riid, ppv);
}
