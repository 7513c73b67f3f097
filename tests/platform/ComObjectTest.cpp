#include "platform/com/CComObject.h"
#include "platform/com/CComPtr.h"
#include "platform/vds/VdsInterfaces.h"
#include "platform/vds/VdsErrors.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

struct Lifecycle {
    int finalConstructs = 0;
    int finalReleases = 0;
    int destructions = 0;
    HRESULT finalConstructResult = S_OK;
    bool touchSelfInFinalHooks = false;
};

// A COM class with two interfaces, reporting its lifecycle.
class TestAsync : public CComObjectRootEx, public IVdsAsync, public IVdsAdviseSink {
public:
    using ComMap = ComInterfaceMap<IVdsAsync, IVdsAdviseSink>;

    explicit TestAsync(Lifecycle* lifecycle) : m_lifecycle(lifecycle) {}
    ~TestAsync() { ++m_lifecycle->destructions; }

    HRESULT FinalConstruct()
    {
        ++m_lifecycle->finalConstructs;
        touchSelf();
        return m_lifecycle->finalConstructResult;
    }

    void FinalRelease()
    {
        ++m_lifecycle->finalReleases;
        touchSelf();
    }

    HRESULT Cancel() override { return VDS_E_NOT_SUPPORTED; }
    HRESULT Wait(HRESULT*, VDS_ASYNC_OUTPUT*) override { return S_OK; }
    HRESULT QueryStatus(HRESULT*, ULONG*) override { return S_OK; }
    HRESULT OnNotify(LONG, VDS_NOTIFICATION*) override { return S_OK; }

private:
    // Hands a reference out and back, as an object does that registers itself somewhere
    // during construction or teardown.
    void touchSelf()
    {
        if (!m_lifecycle->touchSelfInFinalHooks)
            return;
        IVdsAsync* self = this;
        self->AddRef();
        self->Release();
    }

    Lifecycle* m_lifecycle;
};

class ThrowingConstructor : public CComObjectRootEx, public IVdsAsync {
public:
    using ComMap = ComInterfaceMap<IVdsAsync>;
    explicit ThrowingConstructor(bool outOfMemory)
    {
        if (outOfMemory)
            throw std::bad_alloc();
        throw std::runtime_error("broken");
    }
    HRESULT Cancel() override { return S_OK; }
    HRESULT Wait(HRESULT*, VDS_ASYNC_OUTPUT*) override { return S_OK; }
    HRESULT QueryStatus(HRESULT*, ULONG*) override { return S_OK; }
};

CComObject<TestAsync>* create(Lifecycle& lifecycle)
{
    CComObject<TestAsync>* object = nullptr;
    EXPECT_EQ(CComObject<TestAsync>::CreateInstance(&object, &lifecycle), S_OK);
    return object;
}

TEST(ComObject, CreateInstanceRunsFinalConstructAndStartsAtZeroReferences)
{
    Lifecycle lifecycle;
    CComObject<TestAsync>* object = create(lifecycle);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(lifecycle.finalConstructs, 1);
    EXPECT_EQ(object->InternalRefCount(), 0);
    EXPECT_EQ(object->AddRef(), 1u);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(lifecycle.destructions, 1);
}

TEST(ComObject, QueryInterfaceAnswersListedInterfacesWithAReference)
{
    Lifecycle lifecycle;
    CComPtr<IVdsAsync> async(create(lifecycle));

    IVdsAdviseSink* sink = nullptr;
    ASSERT_EQ(async->QueryInterface(IID_IVdsAdviseSink, reinterpret_cast<void**>(&sink)), S_OK);
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(sink->OnNotify(0, nullptr), S_OK);
    sink->Release();

    IVdsAsync* again = nullptr;
    ASSERT_EQ(sink->QueryInterface(IID_IVdsAsync, reinterpret_cast<void**>(&again)), S_OK);
    EXPECT_EQ(again, async.get());
    EXPECT_EQ(again->Release(), 1u);
}

TEST(ComObject, IUnknownIsTheSamePointerWhicheverInterfaceAsks)
{
    Lifecycle lifecycle;
    CComObject<TestAsync>* object = create(lifecycle);
    CComPtr<IVdsAsync> async(object);
    CComPtr<IVdsAdviseSink> sink(object);

    CComPtr<IUnknown> fromAsync;
    CComPtr<IUnknown> fromSink;
    ASSERT_EQ(async->QueryInterface(IID_IUnknown, fromAsync.put_void()), S_OK);
    ASSERT_EQ(sink->QueryInterface(IID_IUnknown, fromSink.put_void()), S_OK);
    EXPECT_EQ(fromAsync.get(), fromSink.get());
}

TEST(ComObject, NullGuidAnswersTheImplementationObjectWithoutAReference)
{
    Lifecycle lifecycle;
    CComObject<TestAsync>* object = create(lifecycle);
    CComPtr<IVdsAdviseSink> sink(object);  // the second base: its address differs

    TestAsync* implementation = nullptr;
    ASSERT_EQ(sink->QueryInterface(GUID_NULL, reinterpret_cast<void**>(&implementation)), S_OK);
    EXPECT_EQ(implementation, static_cast<TestAsync*>(object));
    EXPECT_NE(static_cast<void*>(implementation), static_cast<void*>(sink.get()));
    EXPECT_EQ(object->InternalRefCount(), 1);
}

TEST(ComObject, UnknownIidAndNullOutPointerAreRefused)
{
    Lifecycle lifecycle;
    CComPtr<IVdsAsync> async(create(lifecycle));

    void* out = &lifecycle;
    EXPECT_EQ(async->QueryInterface(IID_IVdsLun, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(async->QueryInterface(IID_IVdsAsync, nullptr), E_POINTER);
    EXPECT_EQ(static_cast<CComObject<TestAsync>*>(async.get())->InternalRefCount(), 1);
}

TEST(ComObject, FinalReleaseRunsOnceEvenWhenItTouchesItsOwnCount)
{
    Lifecycle lifecycle;
    lifecycle.touchSelfInFinalHooks = true;
    CComObject<TestAsync>* object = create(lifecycle);
    ASSERT_NE(object, nullptr);
    object->AddRef();
    object->AddRef();
    EXPECT_EQ(object->Release(), 1u);
    EXPECT_EQ(lifecycle.finalReleases, 0);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(lifecycle.finalReleases, 1);
    EXPECT_EQ(lifecycle.destructions, 1);
}

TEST(ComObject, FailedFinalConstructDestroysTheObject)
{
    Lifecycle lifecycle;
    lifecycle.finalConstructResult = E_OUTOFMEMORY;
    lifecycle.touchSelfInFinalHooks = true;
    CComObject<TestAsync>* object = reinterpret_cast<CComObject<TestAsync>*>(&lifecycle);
    EXPECT_EQ(CComObject<TestAsync>::CreateInstance(&object, &lifecycle), E_OUTOFMEMORY);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(lifecycle.destructions, 1);
    EXPECT_EQ(lifecycle.finalReleases, 1);
}

TEST(ComObject, ThrowingConstructorBecomesAResult)
{
    CComObject<ThrowingConstructor>* object = nullptr;
    EXPECT_EQ(CComObject<ThrowingConstructor>::CreateInstance(&object, true), E_OUTOFMEMORY);
    EXPECT_EQ(CComObject<ThrowingConstructor>::CreateInstance(&object, false), E_FAIL);
    EXPECT_EQ(object, nullptr);
}

TEST(ComObject, ConcurrentAddRefAndReleaseKeepTheCount)
{
    Lifecycle lifecycle;
    CComObject<TestAsync>* object = create(lifecycle);
    object->AddRef();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([object] {
            for (int i = 0; i < 10000; ++i) {
                object->AddRef();
                object->Release();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(lifecycle.destructions, 0);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(lifecycle.destructions, 1);
}

TEST(ComObject, CriticalSectionIsReentrantAndExcludesOtherThreads)
{
    CComCriticalSection section;
    auto otherThreadCanEnter = [&section] {
        bool entered = false;
        std::thread([&] {
            entered = section.TryLock();
            if (entered)
                section.Unlock();
        }).join();
        return entered;
    };
    section.Lock();
    section.Lock();
    section.Unlock();
    EXPECT_FALSE(otherThreadCanEnter());
    section.Unlock();
    EXPECT_TRUE(otherThreadCanEnter());
}

std::atomic<int> g_livePlainSinks{0};

class PlainSink : public CComObjectRootEx, public IVdsAdviseSink {
public:
    using ComMap = ComInterfaceMap<IVdsAdviseSink>;
    PlainSink() { ++g_livePlainSinks; }
    ~PlainSink() { --g_livePlainSinks; }
    HRESULT OnNotify(LONG, VDS_NOTIFICATION*) override { return S_FALSE; }
};

TEST(ComObject, CreateComInstanceHandsOutTheRequestedInterfaceOrNothing)
{
    CComPtr<IVdsAdviseSink> sink;
    ASSERT_EQ(CreateComInstance<PlainSink>(IID_IVdsAdviseSink, sink.put_void()), S_OK);
    EXPECT_EQ(sink->OnNotify(0, nullptr), S_FALSE);
    EXPECT_EQ(g_livePlainSinks, 1);
    sink.Release();
    EXPECT_EQ(g_livePlainSinks, 0);

    void* out = nullptr;
    EXPECT_EQ(CreateComInstance<PlainSink>(IID_IVdsLun, &out), E_NOINTERFACE);
    EXPECT_EQ(CreateComInstance<PlainSink>(GUID_NULL, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(g_livePlainSinks, 0);
}

TEST(ComPtr, CopiesAddReferencesAndMovesDoNot)
{
    CComObject<PlainSink>* object = nullptr;
    ASSERT_EQ(CComObject<PlainSink>::CreateInstance(&object), S_OK);
    {
        CComPtr<IVdsAdviseSink> first(object);
        EXPECT_EQ(object->InternalRefCount(), 1);
        CComPtr<IVdsAdviseSink> copy(first);
        EXPECT_EQ(object->InternalRefCount(), 2);
        CComPtr<IVdsAdviseSink> moved(std::move(copy));
        EXPECT_EQ(object->InternalRefCount(), 2);
        EXPECT_FALSE(copy);
        moved = first;  // same object: the count stays
        EXPECT_EQ(object->InternalRefCount(), 2);
        first = first;
        EXPECT_EQ(object->InternalRefCount(), 2);
        moved = nullptr;
        EXPECT_EQ(object->InternalRefCount(), 1);
    }
    EXPECT_EQ(g_livePlainSinks, 0);
}

TEST(ComPtr, AssignmentReleasesThePreviousObject)
{
    CComPtr<IVdsAdviseSink> a;
    CComPtr<IVdsAdviseSink> b;
    ASSERT_EQ(CreateComInstance<PlainSink>(IID_IVdsAdviseSink, a.put_void()), S_OK);
    ASSERT_EQ(CreateComInstance<PlainSink>(IID_IVdsAdviseSink, b.put_void()), S_OK);
    EXPECT_EQ(g_livePlainSinks, 2);
    a = b;
    EXPECT_EQ(g_livePlainSinks, 1);
    EXPECT_EQ(a.get(), b.get());
    // put() must not leak what the pointer held.
    ASSERT_EQ(CreateComInstance<PlainSink>(IID_IVdsAdviseSink, a.put_void()), S_OK);
    EXPECT_EQ(g_livePlainSinks, 2);
    a.Release();
    b.Release();
    EXPECT_EQ(g_livePlainSinks, 0);
}

TEST(ComPtr, AttachDetachAndCopyToTransferReferencesExactly)
{
    CComObject<PlainSink>* object = nullptr;
    ASSERT_EQ(CComObject<PlainSink>::CreateInstance(&object), S_OK);
    object->AddRef();
    CComPtr<IVdsAdviseSink> owner;
    owner.Attach(object);
    EXPECT_EQ(object->InternalRefCount(), 1);

    IVdsAdviseSink* handedOut = nullptr;
    EXPECT_EQ(owner.CopyTo(&handedOut), S_OK);
    EXPECT_EQ(object->InternalRefCount(), 2);
    EXPECT_EQ(owner.CopyTo(nullptr), E_POINTER);

    IVdsAdviseSink* detached = owner.Detach();
    EXPECT_FALSE(owner);
    EXPECT_EQ(object->InternalRefCount(), 2);
    detached->Release();
    handedOut->Release();
    EXPECT_EQ(g_livePlainSinks, 0);
}

TEST(ComPtr, TypedQueryInterface)
{
    CComPtr<IUnknown> unknown;
    ASSERT_EQ(CreateComInstance<PlainSink>(IID_IUnknown, unknown.put_void()), S_OK);
    CComPtr<IVdsAdviseSink> sink;
    EXPECT_EQ(unknown.QueryInterface(sink.put()), S_OK);
    EXPECT_TRUE(sink);
    CComPtr<IVdsLun> lun;
    EXPECT_EQ(unknown.QueryInterface(lun.put()), E_NOINTERFACE);
    EXPECT_FALSE(lun);
    CComPtr<IUnknown> empty;
    EXPECT_EQ(empty.QueryInterface(sink.put()), E_POINTER);
}

}  // namespace
