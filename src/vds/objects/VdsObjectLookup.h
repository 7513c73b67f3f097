// How one VDS object of a provider reaches another by its id: through the provider's
// GetObject, then the null-GUID query for the implementation behind it. The returned
// holder keeps the object alive; the implementation pointer is valid while it lives.
#pragma once

#include "platform/com/CComPtr.h"
#include "platform/vds/VdsErrors.h"
#include "platform/vds/VdsInterfaces.h"
#include "vds/objects/COrvVdsProvider.h"
#include "vds/objects/VdsProviderAccess.h"

template <class Object> struct VdsObjectRef {
    CComPtr<IUnknown> holder;
    Object* object = nullptr;

    explicit operator bool() const { return object != nullptr; }
    Object* operator->() const { return object; }
};

// The object `id` of kind `type` of the provider, as its implementation class; empty
// when the provider is gone or has no such object.
template <class Object>
VdsObjectRef<Object> LookUpVdsObject(const GUID& providerGuid, const VDS_OBJECT_ID& id,
                                     VDS_OBJECT_TYPE type)
{
    VdsObjectRef<Object> ref;
    COrvVdsProvider* provider = FindVdsProvider(providerGuid);
    if (provider == nullptr)
        return ref;
    if (FAILED(provider->GetObject(id, type, ref.holder.put())) || !ref.holder)
        return ref;
    Object* object = nullptr;
    if (SUCCEEDED(ref.holder->QueryInterface(GUID_NULL, reinterpret_cast<void**>(&object))))
        ref.object = object;
    return ref;
}
