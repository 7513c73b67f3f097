// List members of every kind for the object-list tests: COM objects with the list's
// interface (methods answering E_NOTIMPL), the framework identity, and a key answer that
// the test sets.
#pragma once

#include "NullVdsInterfaces.h"

#include "platform/com/CComObject.h"
#include "platform/com/CComPtr.h"
#include "vds/framework/CVdsObjectBase.h"
#include "vds/framework/VDSScopedLock.h"
#include "vds/framework/VdsLunPlexList.h"
#include "vds/framework/VdsPortalGroupList.h"
#include "vds/framework/VdsOrderKeySource.h"

#include <atomic>
#include <stdexcept>
#include <string>

template <class Key> struct KeyAnswer {
    VdsOrderKeyOutcome outcome = VdsOrderKeyOutcome::Read;
    Key key{};
    std::string failureText;
    bool throwStd = false;
    bool throwOther = false;
};

template <class Null, VDS_OBJECT_TYPE N, VdsLockKind Kind, class Key>
class TestListMember : public CComObjectRootEx,
                       public Null,
                       public CVdsObjectBase<N>,
                       public VdsOrderKeySource<Key> {
public:
    using ComMap = ComInterfaceMap<typename Null::Interface>;

    static inline std::atomic<int> s_destroyed{0};

    ~TestListMember() override { ++s_destroyed; }

    std::string className() const override { return "TestListMember"; }

    VdsOrderKeyOutcome ReadOrderKey(Key& key, std::string& failureText) override
    {
        m_locksHeldWhileRead = VDSScopedLock::HeldByThisThread();
        if (m_answer.throwStd)
            throw std::runtime_error("service call blew up");
        if (m_answer.throwOther)
            throw 42;
        key = m_answer.key;
        failureText = m_answer.failureText;
        return m_answer.outcome;
    }

    // A new member with the id and provider given, the caller holding one reference.
    static CComPtr<CComObject<TestListMember>> Make(const GUID& id,
                                                    const GUID& provider = kProvider)
    {
        CComObject<TestListMember>* object = nullptr;
        if (FAILED(CComObject<TestListMember>::CreateInstance(&object)))
            return nullptr;
        CComPtr<CComObject<TestListMember>> member(object);
        member->Initialize(provider, id);
        return member;
    }

    static constexpr GUID kProvider = {0x0DDBA11, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};

    KeyAnswer<Key> m_answer;
    std::size_t m_locksHeldWhileRead = 0;
};

template <class Null, VDS_OBJECT_TYPE N, VdsLockKind Kind, class Key>
struct VdsLockKindOf<TestListMember<Null, N, Kind, Key>> : VdsLockKindTag<Kind> {};

using ListDrive = TestListMember<NullVdsDrive, VDS_OT_DRIVE, VdsLockKind::Drive, int>;
using ListLun = TestListMember<NullVdsLun, VDS_OT_LUN, VdsLockKind::Lun, std::string>;
using ListTarget =
    TestListMember<NullVdsTarget, VDS_OT_TARGET, VdsLockKind::Target, std::string>;
using ListPortal =
    TestListMember<NullVdsPortal, VDS_OT_PORTAL, VdsLockKind::Portal, std::string>;
using ListLunPlex = TestListMember<NullVdsLunPlex, VDS_OT_LUN_PLEX, VdsLockKind::LunPlex, int>;

using ListPortalGroup = TestListMember<NullVdsPortalGroup, VDS_OT_PORTAL_GROUP,
                                       VdsLockKind::PortalGroup, int>;

// A member that also holds objects of another kind and answers for them, as a LUN does for
// its plexes and a target for its portal groups.
template <class Member, class ChildList> class HoldingListMember : public Member {
public:
    HRESULT GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk)
    {
        ++m_subObjectQueries;
        return m_Children.GetListObject(id, type, ppUnk);
    }

    static CComPtr<CComObject<HoldingListMember>> Make(const GUID& id)
    {
        CComObject<HoldingListMember>* object = nullptr;
        if (FAILED(CComObject<HoldingListMember>::CreateInstance(&object)))
            return nullptr;
        CComPtr<CComObject<HoldingListMember>> member(object);
        member->Initialize(Member::kProvider, id);
        return member;
    }

    ChildList m_Children;
    int m_subObjectQueries = 0;
};

template <class Member, class ChildList>
struct VdsLockKindOf<HoldingListMember<Member, ChildList>> : VdsLockKindOf<Member> {};

using PlexHoldingLun = HoldingListMember<ListLun, VdsLunPlexListOf<ListLunPlex>>;
using GroupHoldingTarget = HoldingListMember<ListTarget, VdsPortalGroupListOf<ListPortalGroup>>;

// A subsystem that holds LUN plexes as its sub-objects and answers for them.
class ListSubSystem : public CComObjectRootEx,
                      public NullVdsSubSystem,
                      public CVdsObjectBase<VDS_OT_SUB_SYSTEM> {
public:
    using ComMap = ComInterfaceMap<IVdsSubSystem>;

    std::string className() const override { return "ListSubSystem"; }

    HRESULT GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk)
    {
        ++m_subObjectQueries;
        return m_Plexes.GetListObject(id, type, ppUnk);
    }

    VdsLunPlexListOf<ListLunPlex> m_Plexes;
    int m_subObjectQueries = 0;
};

template <> struct VdsLockKindOf<ListSubSystem> : VdsLockKindTag<VdsLockKind::SubSystem> {};

// An id whose first memory byte is `order`, so tests know the map order of their members.
inline GUID orderedId(unsigned char order)
{
    GUID id{};
    id.Data1 = order; // little-endian: the low byte comes first in memory
    id.Data4[7] = 0x5A;
    return id;
}
