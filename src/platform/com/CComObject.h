// CComObject<Class>: a COM class made into a creatable object.
//
// Class derives from CComObjectRootEx and its interfaces and declares its ComMap
// (ComInterfaceMap.h); CComObject<Class> adds IUnknown on top. Creation:
//     CComObject<COrvEnum>* p = nullptr;
//     HRESULT hr = CComObject<COrvEnum>::CreateInstance(&p);   // count 0, FinalConstruct ran
//     p->AddRef();
// The object deletes itself when Release brings the count to 0, after FinalRelease ran
// exactly once.
#pragma once

#include "platform/com/CComObjectRootEx.h"
#include "platform/com/ComInterfaceMap.h"

#include <new>
#include <utility>

template <class Base>
class CComObject final : public Base {
public:
    template <class... Args>
    explicit CComObject(Args&&... args) : Base(std::forward<Args>(args)...)
    {
    }

    ~CComObject()
    {
        this->m_dwRef = Base::kDestroyingRefCount;
        this->FinalRelease();
    }

    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    ULONG AddRef() override { return this->InternalAddRef(); }

    ULONG Release() override
    {
        ULONG count = this->InternalRelease();
        if (count == 0)
            delete this;
        return count;
    }

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override
    {
        return Base::ComMap::query(static_cast<Base*>(this), riid, ppvObject);
    }

    // Builds the object with `args`, runs FinalConstruct and hands it out with a count of
    // 0. A failed FinalConstruct destroys the object again (FinalRelease runs then too) and
    // is returned; a throwing constructor gives E_OUTOFMEMORY for std::bad_alloc and
    // E_FAIL otherwise.
    template <class... Args>
    static HRESULT CreateInstance(CComObject** pp, Args&&... args)
    {
        if (pp == nullptr)
            return E_POINTER;
        *pp = nullptr;
        CComObject* object = nullptr;
        try {
            object = new CComObject(std::forward<Args>(args)...);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
        // References that FinalConstruct takes and drops on itself must not destroy it.
        object->InternalAddRef();
        HRESULT hr = runFinalConstruct(object);
        object->InternalRelease();
        if (FAILED(hr)) {
            delete object;
            return hr;
        }
        *pp = object;
        return S_OK;
    }

private:
    static HRESULT runFinalConstruct(CComObject* object)
    {
        try {
            return object->FinalConstruct();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }
};

// Creates a CComObject<Class> and queries it for `riid`; the factory of a COM class
// (see ComClassRegistry). On failure *ppv is null and the object is gone.
template <class Class>
HRESULT CreateComInstance(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    // The null-GUID answer carries no reference, so it cannot outlive this call.
    if (riid == GUID_NULL)
        return E_NOINTERFACE;
    CComObject<Class>* object = nullptr;
    HRESULT hr = CComObject<Class>::CreateInstance(&object);
    if (FAILED(hr))
        return hr;
    object->AddRef();
    hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}
