// VDSScopedLock: the scope-bound lock that every VDS operation takes on each object it
// touches.
//
// It enters the object's own re-entrant critical section (the COM object root) and
// enforces the lock order of VdsLockKind.h per thread: each thread keeps a stack of the
// locks it holds (gLockVector), and a lock whose level is below the highest level held is
// refused, unless the thread already holds that very object (re-entry is always allowed).
// A refused lock is not fatal: nothing is entered, the refusal is traced with the thread's
// lock stack, and IsLocked() answers false. Equal levels are allowed (two controllers in a
// row).
//
// While held, the lock keeps a reference on the object, so an object that its list deletes
// meanwhile stays alive until the lock goes. The reference goes through the object's own
// counting (COM objects and the notifier: its release may free the object); the lists,
// which are never freed by a count, get a count on their object root.
//
// Locks are local objects only: a thread releases them in the reverse order of taking them.
// The check is per thread; two threads taking two objects in opposite orders are kept apart
// only by both following the order rule.
#pragma once

#include "platform/com/CComObjectRootEx.h"
#include "platform/com/ComInterfaceMap.h"
#include "trace/TraceAwareClass.h"
#include "vds/framework/VdsLockKind.h"

#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace vds_lock_detail {

template <class Map> struct FirstComInterface;
template <class First, class... Others>
struct FirstComInterface<ComInterfaceMap<First, Others...>> {
    using type = First;
};

template <class T>
concept ComClass = requires { typename T::ComMap; };

// An object that counts its own references without being a COM class (the notifier).
template <class T>
concept SelfCounted = requires(T* object) {
    object->AddRef();
    object->Release();
};

} // namespace vds_lock_detail

template <class T>
concept VdsLockable = std::derived_from<T, CComObjectRootEx> &&
                      std::derived_from<T, Merrow::Trace::TraceAwareClass> &&
                      requires { VdsLockKindOf<T>::value; };

class VDSScopedLock : public Merrow::Trace::TraceAwareClass {
public:
    template <VdsLockable T>
    explicit VDSScopedLock(T* pObject)
    {
        LockMe(vdsLockKindInfo(VdsLockKindOf<T>::value), targetOf(pObject));
    }
    ~VDSScopedLock() override;

    VDSScopedLock(const VDSScopedLock&) = delete;
    VDSScopedLock& operator=(const VDSScopedLock&) = delete;

    // False when the lock was refused (order violation) or given a null object.
    bool IsLocked() const { return m_pMyObject != nullptr; }
    int Level() const { return m_Level; }
    const std::string& Name() const { return m_Name; }

    std::string className() const override { return "VDSScopedLock"; }
    void description(std::string& text) const override;

    // How many locks the calling thread holds (0 before its first lock).
    static std::size_t HeldByThisThread();

private:
    // What the lock needs of the object, taken apart while its type is known.
    struct Target {
        CComObjectRootEx* root = nullptr;
        const Merrow::Trace::TraceAwareClass* identity = nullptr;
        // The lock's reference: through the object's own counting when it has one (COM
        // objects, the notifier), else on the root's count.
        void* counted = nullptr;
        void (*addRef)(void*) = nullptr;
        void (*release)(void*) = nullptr;
    };

    template <class T> static Target targetOf(T* pObject)
    {
        Target target;
        if (pObject == nullptr)
            return target;
        target.root = static_cast<CComObjectRootEx*>(pObject);
        target.identity = static_cast<const Merrow::Trace::TraceAwareClass*>(pObject);
        if constexpr (vds_lock_detail::ComClass<T>) {
            using First = typename vds_lock_detail::FirstComInterface<typename T::ComMap>::type;
            countThrough<First>(target, static_cast<First*>(pObject));
        } else if constexpr (vds_lock_detail::SelfCounted<T>) {
            countThrough<T>(target, pObject);
        } else {
            countThrough<CComObjectRootEx>(target, target.root);
        }
        return target;
    }

    template <class Counted> static void countThrough(Target& target, Counted* counted)
    {
        target.counted = counted;
        if constexpr (std::is_same_v<Counted, CComObjectRootEx>) {
            target.addRef = [](void* p) { static_cast<CComObjectRootEx*>(p)->InternalAddRef(); };
            target.release = [](void* p) {
                static_cast<CComObjectRootEx*>(p)->InternalRelease();
            };
        } else {
            target.addRef = [](void* p) { static_cast<Counted*>(p)->AddRef(); };
            target.release = [](void* p) { static_cast<Counted*>(p)->Release(); };
        }
    }

    void LockMe(const VdsLockKindInfo& kind, const Target& target);

    static int highestLevel(const std::vector<VDSScopedLock*>& held);
    static bool holds(const std::vector<VDSScopedLock*>& held, const CComObjectRootEx* root);
    void traceRefusal(const std::vector<VDSScopedLock*>& held) const;
    void setHeld(CComObjectRootEx* root);
    bool checkCopyMatches() const;
    void unlockTop();

    int m_Level = 0;
    std::string m_Name;
    CComObjectRootEx* m_pMyObject = nullptr;
    // Complement of m_pMyObject, written with it: a mismatch at release shows that the
    // lock object itself was overwritten.
    std::uintptr_t m_CheckCopy = ~std::uintptr_t{0};
    // How to give back the reference the lock holds.
    void* m_pCounted = nullptr;
    void (*m_pRelease)(void*) = nullptr;
    // A lock object lives on one thread's stack, so it has no section of its own: one
    // held across the object's section would only invert the lock order.
};
