// The interface map of a COM class: which IIDs its QueryInterface answers.
//
// A class lists its interfaces once:
//     class COrvEnum : public CComObjectRootEx, public IEnumVdsObject {
//     public:
//         using ComMap = ComInterfaceMap<IEnumVdsObject>;
//     };
// and CComObject<COrvEnum> answers IUnknown (always through the first interface listed,
// so the identity rule holds), every listed IID, and GUID_NULL with the implementation
// object itself without adding a reference.
#pragma once

#include "platform/com/Unknown.h"

template <class FirstInterface, class... OtherInterfaces>
struct ComInterfaceMap {
    template <class Object>
    static HRESULT query(Object* object, REFIID riid, void** ppv)
    {
        if (ppv == nullptr)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == GUID_NULL) {
            *ppv = object;
            return S_OK;
        }
        if (riid == IID_IUnknown)
            return hand<FirstInterface>(object, ppv);
        HRESULT hr = E_NOINTERFACE;
        (tryInterface<FirstInterface>(object, riid, ppv, hr) ||
         ... || tryInterface<OtherInterfaces>(object, riid, ppv, hr));
        return hr;
    }

private:
    template <class Interface, class Object>
    static HRESULT hand(Object* object, void** ppv)
    {
        Interface* itf = static_cast<Interface*>(object);
        itf->AddRef();
        *ppv = itf;
        return S_OK;
    }

    template <class Interface, class Object>
    static bool tryInterface(Object* object, REFIID riid, void** ppv, HRESULT& hr)
    {
        if (riid != uuidof<Interface>())
            return false;
        hr = hand<Interface>(object, ppv);
        return true;
    }
};
