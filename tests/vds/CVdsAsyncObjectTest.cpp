#include "vds/framework/CVdsAsyncObject.h"

#include "TestVdsObjects.h"

#include "platform/vds/VdsErrors.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

namespace {

CComPtr<CComObject<CVdsAsyncObject>> makeAsync()
{
    CComObject<CVdsAsyncObject>* async = nullptr;
    EXPECT_EQ(CComObject<CVdsAsyncObject>::CreateInstance(&async), S_OK);
    return CComPtr<CComObject<CVdsAsyncObject>>(async);
}

struct WaitCase {
    const char* description;
    ULONG outputType;
    HRESULT result;
    bool objectHandedOut;
};

const WaitCase kWaitCases[] = {
    {"created LUN", VDS_ASYNCOUT_CREATELUN, S_OK, true},
    {"created target", VDS_ASYNCOUT_CREATETARGET, S_OK, true},
    {"created portal group", VDS_ASYNCOUT_CREATEPORTALGROUP, S_OK, true},
    {"failed create", VDS_ASYNCOUT_CREATELUN, E_FAIL, false},
    {"S_FALSE counts as success", VDS_ASYNCOUT_CREATELUN, S_FALSE, true},
    {"extend hands out no object", VDS_ASYNCOUT_EXTENDLUN, S_OK, false},
    {"plex added hands out no object", VDS_ASYNCOUT_ADDLUNPLEX, S_OK, false},
};

} // namespace

TEST(CVdsAsyncObjectTest, WaitReportsTheStoredOutcome)
{
    for (const WaitCase& row : kWaitCases) {
        SCOPED_TRACE(row.description);
        auto created = TestLun::Make();
        auto async = makeAsync();
        async->SetInfo(GUID{1, 2, 3, {}}, row.outputType, VDS_OT_LUN, nullptr);
        async->SetResult(row.result);
        async->SetCreated(static_cast<ITestVdsObject*>(created.get()));
        const LONG references = created->RefCount();

        for (int repeat = 0; repeat < 2; ++repeat) {
            HRESULT hr = 0x1234;
            VDS_ASYNC_OUTPUT out;
            std::memset(&out, 0xAB, sizeof out);
            ASSERT_EQ(async->Wait(&hr, &out), S_OK);
            EXPECT_EQ(hr, row.result);
            EXPECT_EQ(out.type, static_cast<VDS_ASYNC_OUTPUT_TYPE>(row.outputType));
            IUnknown* object = out.cl.pLunUnk;
            if (row.objectHandedOut) {
                EXPECT_EQ(object, static_cast<ITestVdsObject*>(created.get()));
                EXPECT_EQ(created->RefCount(), references + 1) << "the caller's own reference";
                object->Release();
            } else {
                EXPECT_EQ(object, nullptr);
                EXPECT_EQ(created->RefCount(), references);
            }
        }
    }
}

TEST(CVdsAsyncObjectTest, StatusIsAlwaysCompleteAndNothingCanBeCancelled)
{
    for (HRESULT result : {S_OK, E_FAIL, VDS_E_NOT_ENOUGH_SPACE}) {
        auto async = makeAsync();
        async->SetResult(result);
        HRESULT hr = 0;
        ULONG percent = 0;
        EXPECT_EQ(async->QueryStatus(&hr, &percent), S_OK);
        EXPECT_EQ(hr, result);
        EXPECT_EQ(percent, 100u);
        EXPECT_EQ(async->Cancel(), static_cast<HRESULT>(0x80042400u));
    }
}

TEST(CVdsAsyncObjectTest, NullPointersAreRefused)
{
    auto async = makeAsync();
    HRESULT hr;
    ULONG percent;
    VDS_ASYNC_OUTPUT out;
    EXPECT_EQ(async->Wait(nullptr, &out), E_POINTER);
    EXPECT_EQ(async->Wait(&hr, nullptr), E_POINTER);
    EXPECT_EQ(async->QueryStatus(nullptr, &percent), E_POINTER);
    EXPECT_EQ(async->QueryStatus(&hr, nullptr), E_POINTER);
}

TEST(CVdsAsyncObjectTest, HeldAndCreatedObjectsLiveAsLongAsTheAsyncObject)
{
    std::atomic<int> destroyed{0};
    auto async = makeAsync();
    {
        auto held = TestLun::Make(&destroyed);
        auto created = TestLun::Make(&destroyed);
        async->SetInfo(GUID{}, VDS_ASYNCOUT_CREATELUN, 0, static_cast<ITestVdsObject*>(held.get()));
        async->SetCreated(static_cast<ITestVdsObject*>(created.get()));
    }
    EXPECT_EQ(destroyed.load(), 0);
    async.Release();
    EXPECT_EQ(destroyed.load(), 2);
}
