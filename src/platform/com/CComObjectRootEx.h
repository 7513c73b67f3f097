// The free-threaded object root of our COM classes: the reference count and the object's
// own re-entrant critical section.
//
// A COM class derives from CComObjectRootEx and from its interfaces and is instantiated
// as CComObject<Class> (ComObject.h), which supplies IUnknown. The count is atomic and
// the root takes no lock for it, so AddRef and Release may be called from any thread;
// Lock/Unlock serialise whatever the class chooses to guard with them (the VDS layer's
// scoped locks enter this section).
#pragma once

#include "platform/com/CComCriticalSection.h"
#include "platform/com/WinTypes.h"

#include <atomic>

class CComObjectRootEx {
public:
    CComObjectRootEx() = default;
    CComObjectRootEx(const CComObjectRootEx&) = delete;
    CComObjectRootEx& operator=(const CComObjectRootEx&) = delete;

    ULONG InternalAddRef() { return static_cast<ULONG>(++m_dwRef); }
    ULONG InternalRelease() { return static_cast<ULONG>(--m_dwRef); }
    LONG InternalRefCount() const { return m_dwRef.load(); }

    void Lock() { m_critsec.Lock(); }
    void Unlock() { m_critsec.Unlock(); }

    // Hooks a class may hide with its own: FinalConstruct runs once right after the
    // object is built (a failure destroys it again), FinalRelease once when the last
    // reference goes, before the destructor.
    HRESULT FinalConstruct() { return S_OK; }
    void FinalRelease() {}

protected:
    ~CComObjectRootEx() = default;

    // CComObject parks the count here while FinalRelease runs, so that references taken
    // and dropped inside FinalRelease cannot start a second destruction.
    static constexpr LONG kDestroyingRefCount = -(0x7FFFFFFF / 2);

    std::atomic<LONG> m_dwRef{0};
    CComCriticalSection m_critsec;
};
