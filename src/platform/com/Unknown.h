// IUnknown, the root of every COM interface.
//
// Each interface declares its IID as the static member `iid`, so generic code (the
// interface maps of CComObject, CComPtr) finds it from the type: uuidof<IVdsLun>().
// Interfaces have no virtual destructor, as on Windows: objects are destroyed by their own
// Release, never through an interface pointer.
#pragma once

#include "platform/com/Guid.h"
#include "platform/com/WinTypes.h"

// {00000000-0000-0000-C000-000000000046}, the published IID of IUnknown.
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000,
                                     {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown {
    static constexpr const IID& iid = IID_IUnknown;

    // Besides the IIDs of its interfaces, every object of ours answers GUID_NULL with the
    // address of its implementation object (the class deriving from its interfaces) and
    // adds no reference: framework code uses it to get from an interface pointer to the
    // object behind it.
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

template <class Interface>
constexpr const IID& uuidof()
{
    return Interface::iid;
}

