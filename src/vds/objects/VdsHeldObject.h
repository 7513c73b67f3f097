// VdsHeldObject<T>: the implementation object behind a COM pointer, kept alive by that
// pointer for as long as the holder lives. The array objects use it to reach their
// subsystem and their siblings (drives, LUNs, controllers) by id.
#pragma once

#include "platform/com/CComPtr.h"
#include "platform/vds/VdsInterfaces.h"

#include <utility>

template <class T> class VdsHeldObject {
public:
    VdsHeldObject() = default;
    // The null-GUID query answers the implementation without a reference; `unknown` keeps
    // it alive.
    explicit VdsHeldObject(CComPtr<IUnknown> unknown) : m_Unknown(std::move(unknown))
    {
        void* implementation = nullptr;
        if (m_Unknown && SUCCEEDED(m_Unknown->QueryInterface(GUID_NULL, &implementation)))
            m_Object = static_cast<T*>(implementation);
    }

    T* get() const { return m_Object; }
    T* operator->() const { return m_Object; }
    T& operator*() const { return *m_Object; }
    explicit operator bool() const { return m_Object != nullptr; }
    IUnknown* unknown() const { return m_Unknown; }

private:
    CComPtr<IUnknown> m_Unknown;
    T* m_Object = nullptr;
};
