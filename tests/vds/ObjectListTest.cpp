#include "vds/framework/VdsDriveList.h"
#include "vds/framework/VdsLunList.h"
#include "vds/framework/VdsLunPlexList.h"
#include "vds/framework/VdsPortalList.h"
#include "vds/framework/VdsSubsystemList.h"
#include "vds/framework/VdsTargetList.h"

#include "TestListMembers.h"
#include "TraceCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

const GUID kProvider = ListLunPlex::kProvider;

GUID fillPatternId()
{
    GUID id;
    id.Data1 = 0xCCCCCCCCu;
    id.Data2 = 0xCCCC;
    id.Data3 = 0xCCCC;
    id.Data4[0] = 0xCD;
    for (int i = 1; i < 8; ++i)
        id.Data4[i] = static_cast<BYTE>(0x11 * i); // only the first nine bytes count
    return id;
}

IUnknown* identityOf(IUnknown* object)
{
    IUnknown* identity = nullptr;
    object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    identity->Release();
    return identity;
}

template <class List, class Member> void insert(List& list, const CComPtr<Member>& member)
{
    ASSERT_EQ(list.InsertListObject(member->GetGuid(), member.get()), S_OK);
}

enum class IdChoice { Member, Unknown, FillPattern, AlmostFillPattern };

struct LookupCase {
    const char* description;
    bool emptyList;
    IdChoice id;
    VDS_OBJECT_TYPE type;
    bool nullOut;
    HRESULT expected;
};

const LookupCase kLookupCases[] = {
    {"member asked with its own type", false, IdChoice::Member, VDS_OT_LUN_PLEX, false, S_OK},
    {"member asked as a LUN", false, IdChoice::Member, VDS_OT_LUN, false,
     VDS_E_UNRECOVERABLE_ERROR},
    {"member asked as a subsystem", false, IdChoice::Member, VDS_OT_SUB_SYSTEM, false,
     static_cast<HRESULT>(0x80042419u)},
    {"unknown id in a list with members", false, IdChoice::Unknown, VDS_OT_LUN_PLEX, false,
     E_FAIL},
    {"unknown id in an empty list", true, IdChoice::Unknown, VDS_OT_LUN_PLEX, false,
     VDS_E_OBJECT_NOT_FOUND},
    {"fill pattern", false, IdChoice::FillPattern, VDS_OT_LUN_PLEX, false, E_INVALIDARG},
    {"fill pattern wins over a null out pointer", true, IdChoice::FillPattern, VDS_OT_LUN_PLEX,
     true, E_INVALIDARG},
    {"0xCC in the ninth byte is an ordinary id", true, IdChoice::AlmostFillPattern,
     VDS_OT_LUN_PLEX, false, VDS_E_OBJECT_NOT_FOUND},
    {"null out pointer", false, IdChoice::Member, VDS_OT_LUN_PLEX, true, E_POINTER},
};

} // namespace

TEST(ObjectListTest, GetListObjectAnswersByIdAndType)
{
    for (const LookupCase& row : kLookupCases) {
        SCOPED_TRACE(row.description);
        VdsLunPlexListOf<ListLunPlex> list(kProvider);
        auto member = ListLunPlex::Make(orderedId(1));
        if (!row.emptyList)
            insert(list, member);
        GUID id = orderedId(2);
        if (row.id == IdChoice::Member)
            id = member->GetGuid();
        if (row.id == IdChoice::FillPattern)
            id = fillPatternId();
        if (row.id == IdChoice::AlmostFillPattern) {
            id = fillPatternId();
            id.Data4[0] = 0xCC;
        }
        IUnknown* found = reinterpret_cast<IUnknown*>(0x1);
        HRESULT hr = list.GetListObject(id, row.type, row.nullOut ? nullptr : &found);
        EXPECT_EQ(hr, row.expected);
        if (hr == S_OK) {
            EXPECT_EQ(found, identityOf(static_cast<IVdsLunPlex*>(member.get())));
            found->Release();
        }
        const LONG listAndTest = row.emptyList ? 1 : 2;
        EXPECT_EQ(member->InternalRefCount(), listAndTest) << "no reference may be left behind";
    }
}

TEST(ObjectListTest, MapOrderComparesGuidBytesInMemoryOrder)
{
    VdsLunPlexListOf<ListLunPlex> list(kProvider);
    GUID small = orderedId(0);
    small.Data1 = 0x00000002; // bytes 02 00 00 00
    GUID large = orderedId(0);
    large.Data1 = 0x01000000; // bytes 00 00 00 01: first in byte order
    auto a = ListLunPlex::Make(small);
    auto b = ListLunPlex::Make(large);
    insert(list, a);
    insert(list, b);
    std::vector<VDS_OBJECT_ID> ids{orderedId(9)};
    ASSERT_EQ(list.GetGuidVector(ids), S_OK);
    // Appended behind what the vector held.
    EXPECT_EQ(ids, (std::vector<VDS_OBJECT_ID>{orderedId(9), large, small}));
}

TEST(ObjectListTest, DeletionReleasesOnlyTheListsReference)
{
    const int destroyedBefore = ListLunPlex::s_destroyed;
    VdsLunPlexListOf<ListLunPlex> list(kProvider);
    auto kept = ListLunPlex::Make(orderedId(1));
    insert(list, kept);
    insert(list, ListLunPlex::Make(orderedId(2)));
    insert(list, ListLunPlex::Make(orderedId(3)));

    EXPECT_EQ(list.DeleteListObject(GUID_NULL), S_OK);
    EXPECT_EQ(list.DeleteListObject(orderedId(7)), E_FAIL);
    EXPECT_EQ(list.Size(), 3u);

    EXPECT_EQ(list.DeleteListObject(orderedId(2)), S_OK);
    EXPECT_EQ(ListLunPlex::s_destroyed - destroyedBefore, 1);
    EXPECT_EQ(list.DeleteListObject(orderedId(2)), E_FAIL);

    // An outside reference keeps a deleted object alive.
    EXPECT_EQ(list.DeleteListObject(orderedId(1)), S_OK);
    EXPECT_EQ(ListLunPlex::s_destroyed - destroyedBefore, 1);
    EXPECT_EQ(kept->InternalRefCount(), 1);

    EXPECT_EQ(list.DeleteAllListObjects(), S_OK);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(ListLunPlex::s_destroyed - destroyedBefore, 2);
}

TEST(ObjectListTest, RemoveHandsTheListsReferenceToTheCaller)
{
    const int destroyedBefore = ListLunPlex::s_destroyed;
    VdsLunPlexListOf<ListLunPlex> list(kProvider);
    insert(list, ListLunPlex::Make(orderedId(1)));

    CComObject<ListLunPlex>* removed = nullptr;
    EXPECT_EQ(list.RemoveListObject(orderedId(1), nullptr), E_POINTER);
    EXPECT_EQ(list.RemoveListObject(orderedId(5), &removed), E_FAIL);
    EXPECT_EQ(list.RemoveListObject(GUID_NULL, &removed), S_OK);
    EXPECT_EQ(removed, nullptr);

    ASSERT_EQ(list.RemoveListObject(orderedId(1), &removed), S_OK);
    ASSERT_NE(removed, nullptr);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(removed->GetGuid(), orderedId(1));
    EXPECT_EQ(ListLunPlex::s_destroyed - destroyedBefore, 0);
    removed->Release();
    EXPECT_EQ(ListLunPlex::s_destroyed - destroyedBefore, 1);
}

TEST(ObjectListTest, InsertRefusesTakenAndNullIds)
{
    VdsLunPlexListOf<ListLunPlex> list(kProvider);
    auto member = ListLunPlex::Make(orderedId(1));
    EXPECT_EQ(list.InsertListObject(orderedId(1), member.get()), S_OK);
    EXPECT_EQ(list.InsertListObject(orderedId(1), member.get()), VDS_E_OBJECT_EXISTS);
    EXPECT_EQ(list.InsertListObject(GUID_NULL, member.get()), E_INVALIDARG);
    EXPECT_EQ(list.InsertListObject(orderedId(2), nullptr), E_POINTER);
    EXPECT_EQ(member->InternalRefCount(), 2);
}

TEST(ObjectListTest, DestroyedListReleasesItsMembers)
{
    const int destroyedBefore = ListLunPlex::s_destroyed;
    {
        VdsLunPlexListOf<ListLunPlex> list(kProvider);
        insert(list, ListLunPlex::Make(orderedId(1)));
        insert(list, ListLunPlex::Make(orderedId(2)));
    }
    EXPECT_EQ(ListLunPlex::s_destroyed - destroyedBefore, 2);
}

TEST(SubsystemListTest, AddListObjectMakesAnInitialisedSubsystem)
{
    VdsSubsystemListOf<ListSubSystem> list(kProvider);
    VDS_OBJECT_ID first{}, second{};
    ASSERT_EQ(list.AddListObject(&first), S_OK);
    ASSERT_EQ(list.AddListObject(&second), S_OK);
    EXPECT_NE(first, GUID_NULL);
    EXPECT_NE(first, second);
    auto subsystem = list.Lookup(first);
    ASSERT_TRUE(subsystem);
    EXPECT_EQ(subsystem->GetGuid(), first);
    EXPECT_EQ(subsystem->GetProviderGuid(), kProvider);
    // The list's reference and the one Lookup gave: creation left nothing behind.
    EXPECT_EQ(subsystem->InternalRefCount(), 2);
    EXPECT_EQ(list.AddListObject(nullptr), E_POINTER);
}

TEST(SubsystemListTest, AddListObjectWithoutProviderFailsAndAddsNothing)
{
    VdsSubsystemListOf<ListSubSystem> list;
    VDS_OBJECT_ID id = orderedId(3);
    EXPECT_EQ(list.AddListObject(&id), E_FAIL);
    EXPECT_EQ(id, GUID_NULL);
    EXPECT_TRUE(list.IsEmpty());
}

TEST(SubsystemListTest, UnknownIdsAreLookedForInEachSubsystem)
{
    VdsSubsystemListOf<ListSubSystem> list(kProvider);
    VDS_OBJECT_ID a{}, b{};
    ASSERT_EQ(list.AddListObject(&a), S_OK);
    ASSERT_EQ(list.AddListObject(&b), S_OK);
    std::vector<VDS_OBJECT_ID> order;
    list.GetGuidVector(order);
    auto firstInOrder = list.Lookup(order[0]);
    auto lastInOrder = list.Lookup(order[1]);
    auto plex = ListLunPlex::Make(orderedId(40));
    insert(lastInOrder->m_Plexes, plex);

    IUnknown* found = nullptr;
    ASSERT_EQ(list.GetListObject(orderedId(40), VDS_OT_LUN_PLEX, &found), S_OK);
    EXPECT_EQ(found, identityOf(static_cast<IVdsLunPlex*>(plex.get())));
    found->Release();
    EXPECT_EQ(firstInOrder->m_subObjectQueries, 1);
    EXPECT_EQ(lastInOrder->m_subObjectQueries, 1);

    // Nobody has it: the answer of the last subsystem asked (a non-empty plex list says
    // E_FAIL).
    EXPECT_EQ(list.GetListObject(orderedId(41), VDS_OT_LUN_PLEX, &found), E_FAIL);
    // A subsystem's own id with another type is not passed on.
    EXPECT_EQ(list.GetListObject(a, VDS_OT_LUN, &found), VDS_E_UNRECOVERABLE_ERROR);
    EXPECT_EQ(firstInOrder->m_subObjectQueries, 2);

    // Once the plex is the first subsystem's, the walk stops there.
    ASSERT_EQ(lastInOrder->m_Plexes.DeleteListObject(orderedId(40)), S_OK);
    insert(firstInOrder->m_Plexes, plex);
    ASSERT_EQ(list.GetListObject(orderedId(40), VDS_OT_LUN_PLEX, &found), S_OK);
    found->Release();
    EXPECT_EQ(firstInOrder->m_subObjectQueries, 3);
    EXPECT_EQ(lastInOrder->m_subObjectQueries, 2);
}

// ---- ordered lists ---------------------------------------------------------------------

namespace {

template <class Key> struct MemberSetup {
    unsigned char order; // GUID map order
    KeyAnswer<Key> answer;
};

template <class Key> KeyAnswer<Key> key(Key value)
{
    KeyAnswer<Key> answer;
    answer.key = value;
    return answer;
}
template <class Key> KeyAnswer<Key> failed()
{
    KeyAnswer<Key> answer;
    answer.outcome = VdsOrderKeyOutcome::Failed;
    answer.failureText = "UA_E_NOTCONNECTED";
    return answer;
}
template <class Key> KeyAnswer<Key> noService()
{
    KeyAnswer<Key> answer;
    answer.outcome = VdsOrderKeyOutcome::NoServiceObject;
    answer.failureText = "no service object";
    return answer;
}

// Builds `List` from `setups`, runs GetGuidVector and answers the member orders in output
// order; checks how many locks each member saw while its key was read.
template <class List, class Member, class Key>
std::vector<unsigned> outputOrder(const std::vector<MemberSetup<Key>>& setups,
                                  std::size_t locksWhileRead)
{
    List list(kProvider);
    std::vector<CComPtr<CComObject<Member>>> members;
    for (const auto& setup : setups) {
        members.push_back(Member::Make(orderedId(setup.order)));
        members.back()->m_answer = setup.answer;
        list.InsertListObject(members.back()->GetGuid(), members.back().get());
    }
    std::vector<VDS_OBJECT_ID> ids;
    EXPECT_EQ(list.GetGuidVector(ids), S_OK);
    for (const auto& member : members)
        EXPECT_EQ(member->m_locksHeldWhileRead, locksWhileRead);
    EXPECT_EQ(VDSScopedLock::HeldByThisThread(), 0u);
    std::vector<unsigned> orders;
    for (const auto& id : ids)
        orders.push_back(id.Data1);
    return orders;
}

} // namespace

namespace {

// A list whose members hold children: an id none of the members is found in the member
// that holds it, of the type asked for; the members are asked in map order.
template <class List, class Holder, class Child>
void childrenAreFoundThroughTheirHolders(VDS_OBJECT_TYPE childType)
{
    List list(kProvider);
    auto first = Holder::Make(orderedId(1));
    auto second = Holder::Make(orderedId(2));
    insert(list, first);
    insert(list, second);
    auto child = Child::Make(orderedId(50));
    insert(second->m_Children, child);

    IUnknown* found = nullptr;
    ASSERT_EQ(list.GetListObject(orderedId(50), childType, &found), S_OK);
    EXPECT_EQ(found, identityOf(static_cast<typename Child::Interface*>(child.get())));
    found->Release();
    EXPECT_EQ(first->m_subObjectQueries, 1);
    EXPECT_EQ(second->m_subObjectQueries, 1);
    // The child's own id with another type is refused by the child's list.
    EXPECT_EQ(list.GetListObject(orderedId(50), VDS_OT_PROVIDER, &found),
              VDS_E_UNRECOVERABLE_ERROR);
    // Nobody has it: the last holder's answer.
    EXPECT_EQ(list.GetListObject(orderedId(51), childType, &found), E_FAIL);
    EXPECT_EQ(found, nullptr);
}

} // namespace

// VDS asks the provider for a plex or a portal group by id alone; without the search
// through LUNs and targets, enumerating them fails.
TEST(ObjectListTest, LunPlexesAreFoundThroughTheLunList)
{
    childrenAreFoundThroughTheirHolders<VdsLunListOf<PlexHoldingLun>, PlexHoldingLun,
                                        ListLunPlex>(VDS_OT_LUN_PLEX);
}

TEST(ObjectListTest, PortalGroupsAreFoundThroughTheTargetList)
{
    childrenAreFoundThroughTheirHolders<VdsTargetListOf<GroupHoldingTarget>, GroupHoldingTarget,
                                        ListPortalGroup>(VDS_OT_PORTAL_GROUP);
}

TEST(OrderedListTest, PortalsSortByAddressTextAndDropDuplicates)
{
    using S = std::string;
    const std::vector<MemberSetup<S>> setups = {
        {1, key<S>("10.0.0.2")},   {2, key<S>("10.0.0.10")}, {3, key<S>("192.168.1.1")},
        {4, key<S>("10.0.0.2")},   {5, failed<S>()},         {6, noService<S>()},
        {7, key<S>("0.0.0.0")},
    };
    // "0.0.0.0" is the key of unreadable addresses: 5 comes first, 6 and 7 share its key.
    EXPECT_EQ((outputOrder<VdsPortalListOf<ListPortal>, ListPortal>(setups, 1)),
              (std::vector<unsigned>{5, 2, 1, 3}));
}

TEST(OrderedListTest, DrivesSortBySignedSlotNumber)
{
    const std::vector<MemberSetup<int>> setups = {
        {1, key(3)},   {2, key(12)}, {3, key(0)},         {4, failed<int>()},
        {5, key(3)},   {6, key(-5)}, {7, noService<int>()}, {8, key(-1)},
    };
    EXPECT_EQ((outputOrder<VdsDriveListOf<ListDrive>, ListDrive>(setups, 1)),
              (std::vector<unsigned>{6, 4, 3, 1, 2}));
}

TEST(OrderedListTest, LunsSortByNameLeaveOutThoseWithoutVolumeAndLockEachLun)
{
    using S = std::string;
    const std::vector<MemberSetup<S>> setups = {
        {1, key<S>("vol-b")}, {2, noService<S>()}, {3, key<S>("vol-a")},
        {4, failed<S>()},     {5, key<S>("Unknown")}, {6, key<S>("Vol-z")},
    };
    // Byte order: upper case before lower case.
    EXPECT_EQ((outputOrder<VdsLunListOf<ListLun>, ListLun>(setups, 2)),
              (std::vector<unsigned>{4, 6, 3, 1}));
}

TEST(OrderedListTest, TargetsFollowTheLunRules)
{
    using S = std::string;
    const std::vector<MemberSetup<S>> setups = {
        {1, failed<S>()}, {2, failed<S>()}, {3, key<S>("iqn.a")}, {4, noService<S>()},
    };
    EXPECT_EQ((outputOrder<VdsTargetListOf<ListTarget>, ListTarget>(setups, 2)),
              (std::vector<unsigned>{1, 3}));
}

TEST(OrderedListTest, ExceptionsEndTheWalkWithUnexpected)
{
    TraceCaptureScope capture;
    VdsTargetListOf<ListTarget> targets(kProvider);
    auto target = ListTarget::Make(orderedId(1));
    target->m_answer.throwStd = true;
    insert(targets, target);
    std::vector<VDS_OBJECT_ID> ids;
    EXPECT_EQ(targets.GetGuidVector(ids), E_UNEXPECTED);
    EXPECT_TRUE(ids.empty());
    const auto targetTraces = TraceCapture::instance().takeMessages("TC.VDS.Target");
    EXPECT_NE(std::find(targetTraces.begin(), targetTraces.end(),
                        "GetGuidVector threw an exception.  Error is: = service call blew up"),
              targetTraces.end());

    VdsPortalListOf<ListPortal> portals(kProvider);
    auto portal = ListPortal::Make(orderedId(1));
    portal->m_answer.throwOther = true;
    insert(portals, portal);
    EXPECT_EQ(portals.GetGuidVector(ids), E_UNEXPECTED);
    const auto baseTraces = TraceCapture::instance().takeMessages("TC.VDS.ObjectBase");
    EXPECT_NE(std::find(baseTraces.begin(), baseTraces.end(),
                        " VDS Provider run-time exception caught!"),
              baseTraces.end());
    // The locks were given back on the way out.
    EXPECT_EQ(VDSScopedLock::HeldByThisThread(), 0u);
    EXPECT_EQ(target->InternalRefCount(), 2);
}
