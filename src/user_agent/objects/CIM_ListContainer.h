#pragma once

#include "user_agent/base/UALockableObject.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"
#include "user_agent/objects/CIM_AssociationSpec.h"
#include "user_agent/objects/CIM_ContainerAnchor.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace Merrow::UserAgent {

class CorvaneConnectionImpl;
class MerrowProfileInterface;
class UACIMClient;

// What CIM_ObjectList and CIM_ObjectPathList share: any number of items (cim::CIMObject or
// cim::CIMObjectPath) found by enumerating the result class or by an association walk from
// the anchor; the two differ only in how the last step is asked for and in their names. An
// empty answer is a valid, empty list.
//
// Indications: a creation of any class along the walk reads the list again, with one
// deliberate narrowing of the usual rule (a forced fetch for every such creation) for lists
// walked from an object: an association's creation reads the list again only when the
// association names the anchor, an object the walk passed or an entry, and a plain object's
// creation does not read it at all once the array has announced an association, because such
// an object can join the list only through an association whose creation is announced too.
// For a list one association away from its anchor, a second narrowing: the creation of an
// association of that class between the anchor and an object of the result class (or of a
// class derived from it) adds that one object, read alone, instead of reading the whole
// list again, and one between the anchor and an object of another class changes nothing.
// A deletion drops the entry it names; on purpose, and unlike a plain removal by path, the
// deletion of an object the last walk passed, or of an association that names the anchor,
// such an object or an entry, reads the list again too, because such a deletion (a revoked
// grant, an unmapped volume) takes entries off without naming them, and no later indication
// would. Here too, in a list one association away, the deletion of an association between
// the anchor and another object drops that object, without a read.
// A modification replaces its entry, unless the entry does not match the indication's
// previous instance (it was read after the change): then the list is read again on its
// next read, as CIM_Object does.
//
// Threads: any; every public operation holds the container's own lock for its whole run.
// Lock order: profile, then container, then (inside a fetch) the source container of kind 4,
// then the connection's client lock.
template <typename Item>
class CIM_ListContainer : public CIM_ObjectContainerInterface, public UALockableObject {
public:
    // The four anchors of CIM_Object; the two list kinds take these constructors over.
    CIM_ListContainer(const MerrowProfileInterface* containingProfile,
                      const cim::CIMName& resultClassName, std::uint8_t flag = 0);
    CIM_ListContainer(const MerrowProfileInterface* containingProfile,
                      const cim::CIMObjectPath* anchorPath, CIM_AssociationSpecList associationSpec);
    CIM_ListContainer(const MerrowProfileInterface* containingProfile, cim::CIMObjectPath anchorPath,
                      CIM_AssociationSpecList associationSpec);
    CIM_ListContainer(const MerrowProfileInterface* containingProfile,
                      CIM_ObjectContainerInterface& source, CIM_AssociationSpecList associationSpec);
    ~CIM_ListContainer() override;

    void SetConnection(const CorvaneConnectionWeakRef& connection) override;
    std::uint32_t UpdateObjectContainerWithIndication(const UAIndication& indication) override;
    cim::CIMName GetCIMClassName() const override;
    std::string GetCIMNamespace() const override;
    void FetchData(bool force) override;
    bool IsObjectContainer() const override { return false; }
    bool InvalidateCache() override;
    bool InvalidateCacheIfPath(const cim::CIMObjectPath& path) override;
    // The anchor path: a list has no path of its own.
    cim::CIMObjectPath GetCIMObjectPath() override;
    cim::CIMObjectPath GetAnchorPath() const override;
    void UpdateCimServerWithData() override {}
    void CollectInterest(PathInterest& interest) const override;

    // True when the path is one of the held items' (host and namespace ignored); no fetch.
    bool HoldsPath(const cim::CIMObjectPath& path) const;

    // Which items the list holds, as a number that changes whenever an item joins or leaves
    // it: every fetch and every indication that drops an entry draws a new number, from one
    // counter of the process, so that no list, not even a new one, repeats a number another
    // list state had. A modified entry keeps the number. Fetches when needed, as a read
    // would, so that the number stands for what the next read answers; never 0.
    std::uint64_t GetMembershipGeneration();
    // The number of items, fetched when needed.
    std::size_t GetItemCount();

protected:
    // Fetches when needed, then copies the items.
    std::vector<Item> GetItems();
    // Fetches when needed, then shows each item to `visit` under the container's lock, so
    // that a caller that wants a few of a thousand entries copies only those. `visit` must
    // not take other locks.
    void ForEachItem(const std::function<void(const Item&)>& visit);

private:
    CIM_ListContainer(const MerrowProfileInterface* containingProfile, CIM_ContainerAnchor anchor,
                      std::uint8_t flag);

    cim::CIMObjectPath startPathOrAssert() const;
    void fetchFrom(UACIMClient& client, const cim::CIMObjectPath& start);
    void fetchByEnumeration(UACIMClient& client);
    void fetchByAssociation(UACIMClient& client, const cim::CIMObjectPath& start);
    bool needsFetch(bool force, const CorvaneConnectionImpl* connection) const;
    bool invalidateLocked();
    bool holdsPathLocked(const cim::CIMObjectPath& path) const;
    std::uint32_t applyIndication(const UAIndication& indication);
    std::uint32_t refetchForCreation(const cim::CIMObjectPath& path);
    bool creationCanReach(const cim::CIMObjectPath& path) const;
    // What an association between the anchor and one other object says about this list.
    struct DirectLink {
        enum Kind { Unknown, Entry, Unrelated } kind = Unknown;
        cim::CIMObjectPath end;
    };
    DirectLink directLinkOf(const cim::CIMObjectPath& association) const;
    std::uint32_t addEntry(const cim::CIMObjectPath& path);
    std::uint32_t applyDeletion(const UAIndication& indication);
    std::uint32_t refetchCountingChanges();
    bool touchesWalkLocked(const cim::CIMObjectPath& path) const;
    bool isOnWalkLocked(const cim::CIMObjectPath& path) const;
    std::uint32_t removePath(const cim::CIMObjectPath& path);
    std::uint32_t replaceItem(const UAIndication& indication);
    void setItems(std::vector<Item> items);
    void pushItem(Item item);

    CorvaneConnectionWeakRef m_CorvaneConnection;
    // Given to the enumeration constructor for the owner; nothing here reads it.
    std::uint8_t m_enumerationFlag;
    CIM_ContainerAnchor m_anchor;
    std::vector<Item> m_items;
    // The identity hashes of the entries' paths, for lists of kEntryHashesFrom entries or
    // more: the system's list of a thousand volumes is asked whether it holds a path for
    // every indication of its classes, and almost always does not.
    static constexpr std::size_t kEntryHashesFrom = 64;
    std::unique_ptr<std::unordered_multiset<std::size_t>> m_entryHashes;
    // The objects the last fetch passed on its way to the entries (all steps but the last).
    std::vector<cim::CIMObjectPath> m_waypoints;
    bool m_fetched = false;
    bool m_invalidated = false;
    FetchTime m_lastFetch;
    std::uint64_t m_membershipGeneration;
};

} // namespace Merrow::UserAgent
