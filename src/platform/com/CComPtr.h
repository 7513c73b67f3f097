// CComPtr<Interface>: owns one reference on an interface pointer.
//
// Construction and assignment from a raw pointer add a reference (the raw pointer's
// owner keeps its own); Attach takes over a reference without adding one, Detach hands
// it back. The destructor releases.
#pragma once

#include "platform/com/Unknown.h"

#include <cassert>
#include <cstddef>
#include <utility>

template <class T>
class CComPtr {
public:
    CComPtr() noexcept = default;
    CComPtr(std::nullptr_t) noexcept {}
    CComPtr(T* p) noexcept : m_p(p) { addRef(); }
    CComPtr(const CComPtr& other) noexcept : m_p(other.m_p) { addRef(); }
    CComPtr(CComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~CComPtr() { Release(); }

    CComPtr& operator=(T* p) noexcept
    {
        if (p != m_p) {
            CComPtr keep(p);
            swap(keep);
        }
        return *this;
    }
    CComPtr& operator=(const CComPtr& other) noexcept { return *this = other.m_p; }
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    // The member is cleared before the release, so whatever the release destroys sees
    // this pointer empty already.
    void Release() noexcept
    {
        T* p = std::exchange(m_p, nullptr);
        if (p != nullptr)
            p->Release();
    }

    void Attach(T* p) noexcept
    {
        Release();
        m_p = p;
    }
    [[nodiscard]] T* Detach() noexcept { return std::exchange(m_p, nullptr); }

    // Hands the caller its own reference in *pp (E_POINTER for a null pp).
    HRESULT CopyTo(T** pp) const noexcept
    {
        if (pp == nullptr)
            return E_POINTER;
        *pp = m_p;
        addRef();
        return S_OK;
    }

    template <class Q>
    HRESULT QueryInterface(Q** pp) const noexcept
    {
        if (pp == nullptr)
            return E_POINTER;
        *pp = nullptr;
        if (m_p == nullptr)
            return E_POINTER;
        return m_p->QueryInterface(uuidof<Q>(), reinterpret_cast<void**>(pp));
    }

    // Out-parameter access for calls that fill an interface pointer: the old value is
    // released first.
    T** put() noexcept
    {
        Release();
        return &m_p;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    T* get() const noexcept { return m_p; }
    T* operator->() const noexcept
    {
        assert(m_p != nullptr && "CComPtr dereferenced while empty");
        return m_p;
    }
    T& operator*() const noexcept { return *operator->(); }
    operator T*() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    void swap(CComPtr& other) noexcept { std::swap(m_p, other.m_p); }

private:
    void addRef() const noexcept
    {
        if (m_p != nullptr)
            m_p->AddRef();
    }

    T* m_p = nullptr;
};
