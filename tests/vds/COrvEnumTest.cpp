#include "vds/framework/COrvEnum.h"

#include "TestListMembers.h"

#include "platform/vds/VdsErrors.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// A provider that finds LUN plexes in its list, or answers a failure set for an id.
class EnumProvider : public CComObjectRootEx, public IVdsProviderPrivate {
public:
    using ComMap = ComInterfaceMap<IVdsProviderPrivate>;

    HRESULT GetObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk) override
    {
        ++m_getObjectCalls;
        auto failure = m_failures.find(id);
        if (failure != m_failures.end())
            return failure->second;
        // As the provider does: an id that nobody holds is not found.
        if (!m_Plexes.Lookup(id))
            return VDS_E_OBJECT_NOT_FOUND;
        return m_Plexes.GetListObject(id, type, ppUnk);
    }
    HRESULT OnLoad(LPWSTR, IUnknown*) override { return S_OK; }
    HRESULT OnUnload(BOOL) override { return S_OK; }

    VdsLunPlexListOf<ListLunPlex> m_Plexes{ListLunPlex::kProvider};
    std::map<VDS_OBJECT_ID, HRESULT> m_failures;
    int m_getObjectCalls = 0;
};

class COrvEnumTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CComObject<EnumProvider>* provider = nullptr;
        ASSERT_EQ(CComObject<EnumProvider>::CreateInstance(&provider), S_OK);
        m_provider = provider;
        for (unsigned char order = 1; order <= 3; ++order) {
            auto plex = ListLunPlex::Make(orderedId(order));
            m_provider->m_Plexes.InsertListObject(plex->GetGuid(), plex.get());
            m_ids.push_back(plex->GetGuid());
        }
        m_enum = makeEnum(m_ids);
    }

    CComPtr<CComObject<COrvEnum>> makeEnum(const std::vector<VDS_OBJECT_ID>& ids)
    {
        CComObject<COrvEnum>* raw = nullptr;
        EXPECT_EQ(CComObject<COrvEnum>::CreateInstance(&raw), S_OK);
        CComPtr<CComObject<COrvEnum>> enumerator(raw);
        EXPECT_EQ(enumerator->Init(m_provider.get(), VDS_OT_LUN_PLEX), S_OK);
        EXPECT_EQ(enumerator->SetIds(ids), S_OK);
        return enumerator;
    }

    // Fetches up to `celt` objects and answers their ids (by map order byte); each
    // fetched reference is released.
    static std::vector<unsigned> next(IEnumVdsObject* enumerator, ULONG celt, HRESULT& hr,
                                      ULONG& fetched)
    {
        std::vector<IUnknown*> objects(celt + 1, nullptr);
        fetched = 12345;
        hr = enumerator->Next(celt, objects.data(), &fetched);
        std::vector<unsigned> orders;
        for (ULONG i = 0; i < fetched && i < celt; ++i) {
            IVdsLunPlex* plex = nullptr;
            EXPECT_EQ(objects[i]->QueryInterface(IID_IVdsLunPlex, reinterpret_cast<void**>(&plex)),
                      S_OK);
            ListLunPlex* implementation = nullptr;
            plex->QueryInterface(GUID_NULL, reinterpret_cast<void**>(&implementation));
            orders.push_back(implementation->GetGuid().Data1);
            plex->Release();
            objects[i]->Release();
        }
        EXPECT_EQ(objects[celt], nullptr) << "Next wrote past celt";
        return orders;
    }

    CComPtr<CComObject<EnumProvider>> m_provider;
    std::vector<VDS_OBJECT_ID> m_ids;
    CComPtr<CComObject<COrvEnum>> m_enum;
};

using Orders = std::vector<unsigned>;

} // namespace

TEST_F(COrvEnumTest, NextSkipsObjectsDeletedAfterTheSnapshot)
{
    ASSERT_EQ(m_provider->m_Plexes.DeleteListObject(orderedId(2)), S_OK);
    HRESULT hr;
    ULONG fetched;
    EXPECT_EQ(next(m_enum, 5, hr, fetched), (Orders{1, 3}));
    EXPECT_EQ(hr, S_FALSE);
    EXPECT_EQ(fetched, 2u);
}

TEST_F(COrvEnumTest, NextHandsOutExactlyCeltAndContinuesWhereItStopped)
{
    HRESULT hr;
    ULONG fetched;
    EXPECT_EQ(next(m_enum, 2, hr, fetched), (Orders{1, 2}));
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(next(m_enum, 2, hr, fetched), (Orders{3}));
    EXPECT_EQ(hr, S_FALSE);
    EXPECT_EQ(next(m_enum, 1, hr, fetched), Orders{});
    EXPECT_EQ(hr, S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(m_enum->Reset(), S_OK);
    EXPECT_EQ(next(m_enum, 3, hr, fetched), (Orders{1, 2, 3}));
    EXPECT_EQ(hr, S_OK);
}

TEST_F(COrvEnumTest, AnotherFailureStopsOnTheFailingObject)
{
    m_provider->m_failures[orderedId(2)] = E_OUTOFMEMORY;
    HRESULT hr;
    ULONG fetched;
    EXPECT_EQ(next(m_enum, 3, hr, fetched), (Orders{1}));
    EXPECT_EQ(hr, E_OUTOFMEMORY);
    EXPECT_EQ(fetched, 1u);
    // The cursor stayed on the failing object: it is asked for again.
    m_provider->m_failures.clear();
    EXPECT_EQ(next(m_enum, 3, hr, fetched), (Orders{2, 3}));
    EXPECT_EQ(hr, S_FALSE);
}

TEST_F(COrvEnumTest, NullArgumentsAreRefused)
{
    IUnknown* object = nullptr;
    ULONG fetched = 0;
    EXPECT_EQ(m_enum->Next(1, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(m_enum->Next(1, &object, nullptr), E_POINTER);
    EXPECT_EQ(m_enum->Clone(nullptr), E_POINTER);
    EXPECT_EQ(m_provider->m_getObjectCalls, 0);
}

TEST_F(COrvEnumTest, SkipStopsAtTheEnd)
{
    HRESULT hr;
    ULONG fetched;
    EXPECT_EQ(m_enum->Skip(2), S_OK);
    EXPECT_EQ(next(m_enum, 1, hr, fetched), (Orders{3}));
    EXPECT_EQ(m_enum->Reset(), S_OK);
    EXPECT_EQ(m_enum->Skip(3), S_OK); // exactly to the end skips all three
    EXPECT_EQ(m_enum->Skip(0), S_OK);
    EXPECT_EQ(m_enum->Skip(1), S_FALSE);
    EXPECT_EQ(m_enum->Reset(), S_OK);
    EXPECT_EQ(m_enum->Skip(0xFFFFFFFFu), S_FALSE);
    EXPECT_EQ(next(m_enum, 2, hr, fetched), Orders{});
    EXPECT_EQ(hr, S_FALSE);
    EXPECT_EQ(fetched, 0u);
}

TEST_F(COrvEnumTest, CloneStartsAtTheSameGuidAndMovesOnItsOwn)
{
    HRESULT hr;
    ULONG fetched;
    next(m_enum, 1, hr, fetched);
    next(m_enum, 1, hr, fetched);
    const LONG providerReferences = m_provider->InternalRefCount();
    CComPtr<IEnumVdsObject> clone;
    ASSERT_EQ(m_enum->Clone(clone.put()), S_OK);
    EXPECT_EQ(m_provider->InternalRefCount(), providerReferences + 1);

    EXPECT_EQ(next(clone, 5, hr, fetched), (Orders{3}));
    EXPECT_EQ(clone->Reset(), S_OK);
    EXPECT_EQ(next(clone, 5, hr, fetched), (Orders{1, 2, 3}));
    EXPECT_EQ(next(m_enum, 5, hr, fetched), (Orders{3}));

    clone.Release();
    EXPECT_EQ(m_provider->InternalRefCount(), providerReferences);
}

TEST_F(COrvEnumTest, SetIdsNeedsInitAndInitNeedsAProvider)
{
    CComObject<COrvEnum>* raw = nullptr;
    ASSERT_EQ(CComObject<COrvEnum>::CreateInstance(&raw), S_OK);
    CComPtr<CComObject<COrvEnum>> enumerator(raw);
    EXPECT_EQ(enumerator->SetIds(m_ids), E_UNEXPECTED);
    EXPECT_EQ(enumerator->Init(nullptr, VDS_OT_LUN_PLEX), E_INVALIDARG);
    // An enumerator of no objects is finished at once.
    ASSERT_EQ(enumerator->Init(m_provider.get(), VDS_OT_LUN_PLEX), S_OK);
    HRESULT hr;
    ULONG fetched;
    EXPECT_EQ(next(enumerator, 1, hr, fetched), Orders{});
    EXPECT_EQ(hr, S_FALSE);
}
