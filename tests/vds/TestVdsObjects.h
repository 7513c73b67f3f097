// Small COM objects standing in for the provider's VDS objects in framework tests: each is
// locked as the kind it names and reports its class name as the real class does.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/com/CComPtr.h"
#include "trace/TraceAwareClass.h"
#include "vds/framework/VdsLockKind.h"

#include <atomic>
#include <string>

// {5A1F7C3E-0B7D-4E52-9C1B-6E2D3F4A5B60}
inline constexpr IID IID_ITestVdsObject = {
    0x5A1F7C3E, 0x0B7D, 0x4E52, {0x9C, 0x1B, 0x6E, 0x2D, 0x3F, 0x4A, 0x5B, 0x60}};

struct ITestVdsObject : IUnknown {
    static constexpr const IID& iid = IID_ITestVdsObject;
    virtual LONG RefCount() = 0;

protected:
    ~ITestVdsObject() = default;
};

template <VdsLockKind Kind>
class TestVdsObject : public CComObjectRootEx,
                      public ITestVdsObject,
                      public Merrow::Trace::TraceAwareClass {
public:
    using ComMap = ComInterfaceMap<ITestVdsObject>;

    explicit TestVdsObject(std::atomic<int>* destroyed = nullptr) : m_destroyed(destroyed) {}
    ~TestVdsObject() override
    {
        if (m_destroyed != nullptr)
            ++*m_destroyed;
    }

    LONG RefCount() override { return InternalRefCount(); }

    // True when another thread could enter the object's section right now; call it from a
    // thread that does not hold the section (the section is re-entrant for its owner).
    bool SectionIsFree()
    {
        if (!m_critsec.TryLock())
            return false;
        m_critsec.Unlock();
        return true;
    }

    std::string className() const override { return kClassNames[static_cast<int>(Kind)]; }
    void description(std::string& text) const override { text = className(); }

    static CComPtr<CComObject<TestVdsObject>> Make(std::atomic<int>* destroyed = nullptr)
    {
        CComObject<TestVdsObject>* object = nullptr;
        if (FAILED(CComObject<TestVdsObject>::CreateInstance(&object, destroyed)))
            return nullptr;
        return CComPtr<CComObject<TestVdsObject>>(object);
    }

private:
    static constexpr const char* kClassNames[] = {
        "COrvVdsProvider", "COrvSubSystem",  "VdsControllerList", "COrvController",
        "VdsDriveList",    "COrvDrive",      "VdsLunList",        "COrvLun",
        "COrvLunPlex",     "VdsTargetList",  "COrvTarget",        "COrvPortalGroup",
        "VdsPortalList",   "COrvPortal",     "COrvNotifier"};

    std::atomic<int>* m_destroyed;
};

template <VdsLockKind Kind> struct VdsLockKindOf<TestVdsObject<Kind>> : VdsLockKindTag<Kind> {};

using TestProvider = TestVdsObject<VdsLockKind::Provider>;
using TestSubSystem = TestVdsObject<VdsLockKind::SubSystem>;
using TestController = TestVdsObject<VdsLockKind::Controller>;
using TestLun = TestVdsObject<VdsLockKind::Lun>;
using TestPortal = TestVdsObject<VdsLockKind::Portal>;
using TestNotifierObject = TestVdsObject<VdsLockKind::Notifier>;
