#include "vds/objects/VdsProviderAccess.h"

#include "platform/com/CComPtr.h"
#include "vds/framework/COrvVdsModule.h"
#include "vds/objects/COrvVdsProvider.h"

COrvVdsProvider* FindVdsProvider(const GUID& providerGuid)
{
    if (providerGuid == GUID_NULL)
        return nullptr;
    return COrvVdsModule::instance().GetProviderAs<COrvVdsProvider>(providerGuid);
}

void DeliverVdsNotification(const GUID& providerGuid, VDS_NOTIFICATION_TARGET_TYPE type,
                            ULONG event, const VDS_OBJECT_ID& id)
{
    if (COrvVdsProvider* provider = FindVdsProvider(providerGuid))
        provider->DeliverOne(type, event, id);
}

HRESULT GetVdsSubSystem(const GUID& providerGuid, const VDS_OBJECT_ID& subSystemId,
                        IVdsSubSystem** ppSubSystem)
{
    if (ppSubSystem == nullptr)
        return E_INVALIDARG;
    *ppSubSystem = nullptr;
    COrvVdsProvider* provider = FindVdsProvider(providerGuid);
    if (provider == nullptr)
        return E_FAIL;
    CComPtr<IUnknown> found;
    HRESULT hr = provider->GetObject(subSystemId, VDS_OT_SUB_SYSTEM, found.put());
    if (FAILED(hr))
        return hr;
    return found->QueryInterface(IID_IVdsSubSystem, reinterpret_cast<void**>(ppSubSystem));
}
