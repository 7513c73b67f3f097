#include "user_agent/objects/CIM_ListContainer.h"

#include "cim/value/CIMException.h"
#include "cim/value/CIMObject.h"
#include "trace/Trace.h"
#include "user_agent/base/CIMObjectPathIdentity.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/connection/CorvaneConnectionImpl.h"
#include "user_agent/indications/PathInterest.h"
#include "user_agent/indications/UAIndication.h"

#include <algorithm>
#include <unordered_map>
#include <atomic>
#include <iterator>
#include <utility>

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

namespace {

// How each list kind asks for, names and updates its items.
template <typename Item> struct ListTraits;

template <> struct ListTraits<cim::CIMObject> {
    static constexpr const char* kClassName = "CIM_ObjectList";
    static constexpr const char* kListName = "m_ObjectList";
    static constexpr const char* kReturned = " objects returned from";

    static const cim::CIMObjectPath& pathOf(const cim::CIMObject& item) { return item.getPath(); }
    static std::vector<cim::CIMObject> lastStep(UACIMClient& client, const cim::CIMObjectPath& path,
                                                const CIM_AssociationSpec& step) {
        TraceAssociationCall("ASSOCIATORS()", step.resultClass, step, path);
        return client.associators(UACIMClient::kArrayNamespace, path, step.associationClass,
                                  step.resultClass);
    }
    static cim::CIMObject fromInstance(cim::CIMInstance instance) { return {std::move(instance)}; }
    // The changed object as the indication carries it, when it does.
    static std::optional<cim::CIMObject> fromIndication(const UAIndication& indication) {
        const cim::CIMObject& source = indication.GetSourceInstance();
        if (!source.isInstance() || source.getInstance().isUninitialized())
            return std::nullopt;
        return source;
    }
    static bool followedOnBy(const cim::CIMObject& item, const UAIndication& indication) {
        return !item.isInstance() || indication.FollowsOn(item.getInstance());
    }
    // The entry at `path` as the array has it now; nothing when it is gone already.
    static std::optional<cim::CIMObject> readEntry(UACIMClient& client,
                                                   const cim::CIMObjectPath& path) {
        try {
            return cim::CIMObject(client.getInstance(UACIMClient::kArrayNamespace, path));
        } catch (const cim::CIMException& e) {
            if (e.getCode() != cim::CIMStatusCode::NotFound)
                throw;
            return std::nullopt;
        }
    }
};

template <> struct ListTraits<cim::CIMObjectPath> {
    static constexpr const char* kClassName = "CIM_ObjectPathList";
    static constexpr const char* kListName = "m_ObjectPathList";
    static constexpr const char* kReturned = " objectpaths returned from";

    static const cim::CIMObjectPath& pathOf(const cim::CIMObjectPath& item) { return item; }
    static std::vector<cim::CIMObjectPath>
    lastStep(UACIMClient& client, const cim::CIMObjectPath& path, const CIM_AssociationSpec& step) {
        TraceAssociationCall("ASSOCIATORNAMES()", step.resultClass, step, path);
        return client.associatorNames(UACIMClient::kArrayNamespace, path, step.associationClass,
                                      step.resultClass);
    }
    static cim::CIMObjectPath fromInstance(const cim::CIMInstance& instance) {
        return instance.getPath();
    }
    static std::optional<cim::CIMObjectPath> fromIndication(const UAIndication& indication) {
        return indication.GetSourceObjectPath();
    }
    static bool followedOnBy(const cim::CIMObjectPath&, const UAIndication&) { return true; }
    // Nothing to read: an object gone already has its deletion announced after this
    // creation, and that takes it off again.
    static std::optional<cim::CIMObjectPath> readEntry(UACIMClient&,
                                                       const cim::CIMObjectPath& path) {
        return path;
    }
};

// The numbers of GetMembershipGeneration, shared by every list of the process.
std::uint64_t nextMembershipGeneration() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

[[noreturn]] void assertionFailure(const char* message) {
    MWTRACE(TV_ERROR, TC_ERROR_ASSERTION_FAILURE) << message << MWENDREC;
    throw MWEAssertionFailure(message, __FILE__, __LINE__, __PRETTY_FUNCTION__);
}

} // namespace

template <typename Item>
CIM_ListContainer<Item>::CIM_ListContainer(const MerrowProfileInterface* containingProfile,
                                           const cim::CIMName& resultClassName, std::uint8_t flag)
    : CIM_ListContainer(containingProfile, CIM_ContainerAnchor(resultClassName), flag) {}

template <typename Item>
CIM_ListContainer<Item>::CIM_ListContainer(const MerrowProfileInterface* containingProfile,
                                           const cim::CIMObjectPath* anchorPath,
                                           CIM_AssociationSpecList associationSpec)
    : CIM_ListContainer(containingProfile,
                        CIM_ContainerAnchor(anchorPath, std::move(associationSpec)), 0) {}

template <typename Item>
CIM_ListContainer<Item>::CIM_ListContainer(const MerrowProfileInterface* containingProfile,
                                           cim::CIMObjectPath anchorPath,
                                           CIM_AssociationSpecList associationSpec)
    : CIM_ListContainer(containingProfile,
                        CIM_ContainerAnchor(std::move(anchorPath), std::move(associationSpec)), 0) {}

template <typename Item>
CIM_ListContainer<Item>::CIM_ListContainer(const MerrowProfileInterface* containingProfile,
                                           CIM_ObjectContainerInterface& source,
                                           CIM_AssociationSpecList associationSpec)
    : CIM_ListContainer(containingProfile, CIM_ContainerAnchor(source, std::move(associationSpec)),
                        0) {}

template <typename Item>
CIM_ListContainer<Item>::CIM_ListContainer(const MerrowProfileInterface* containingProfile,
                                           CIM_ContainerAnchor anchor, std::uint8_t flag)
    : m_enumerationFlag(flag), m_anchor(std::move(anchor)),
      m_membershipGeneration(nextMembershipGeneration()) {
    m_anchor.TraceConstruction(ListTraits<Item>::kClassName, GetObjectContainerInstanceId(),
                               containingProfile);
    RegisterContainer(m_anchor.GetResultClassName(), [this](const cim::CIMObjectPath* path) {
        ScopedLock lock(*this);
        return (!path || holdsPathLocked(*path)) && invalidateLocked();
    });
}

template <typename Item> CIM_ListContainer<Item>::~CIM_ListContainer() {
    UnregisterContainer();
}

template <typename Item>
void CIM_ListContainer<Item>::SetConnection(const CorvaneConnectionWeakRef& connection) {
    ScopedLock lock(*this);
    m_CorvaneConnection = connection;
}

template <typename Item> cim::CIMName CIM_ListContainer<Item>::GetCIMClassName() const {
    ScopedLock lock(*this);
    return m_anchor.GetResultClassName();
}

template <typename Item> std::string CIM_ListContainer<Item>::GetCIMNamespace() const {
    return UACIMClient::kArrayNamespace.getString();
}

template <typename Item> cim::CIMObjectPath CIM_ListContainer<Item>::GetCIMObjectPath() {
    return GetAnchorPath();
}

template <typename Item> cim::CIMObjectPath CIM_ListContainer<Item>::GetAnchorPath() const {
    ScopedLock lock(*this);
    return m_anchor.GetStartPath();
}

template <typename Item> std::vector<Item> CIM_ListContainer<Item>::GetItems() {
    ScopedLock lock(*this);
    FetchData(false);
    return m_items;
}

template <typename Item>
void CIM_ListContainer<Item>::ForEachItem(const std::function<void(const Item&)>& visit) {
    ScopedLock lock(*this);
    FetchData(false);
    for (const Item& item : m_items)
        visit(item);
}

template <typename Item> std::uint64_t CIM_ListContainer<Item>::GetMembershipGeneration() {
    ScopedLock lock(*this);
    FetchData(false);
    return m_membershipGeneration;
}

template <typename Item> std::size_t CIM_ListContainer<Item>::GetItemCount() {
    ScopedLock lock(*this);
    FetchData(false);
    return m_items.size();
}

template <typename Item> void CIM_ListContainer<Item>::setItems(std::vector<Item> items) {
    NoteInterestChange();
    m_items = std::move(items);
    m_entryHashes.reset();
    if (m_items.size() >= kEntryHashesFrom) {
        m_entryHashes = std::make_unique<std::unordered_multiset<std::size_t>>();
        for (const Item& item : m_items)
            m_entryHashes->insert(ObjectPathIdentityHash(ListTraits<Item>::pathOf(item)));
    }
    m_membershipGeneration = nextMembershipGeneration();
}

// ---- fetching -----------------------------------------------------------------------------

template <typename Item> void CIM_ListContainer<Item>::FetchData(bool force) {
    ScopedLock lock(*this);
    if (m_anchor.GetResultClassName().isNull())
        return;
    const std::shared_ptr<CorvaneConnectionImpl> connection = m_CorvaneConnection.Lock();
    if (!connection) {
        MWTRACE(TV_WARNING, TC_ERROR_WARNING)
            << ListTraits<Item>::kClassName
            << "::FetchData() attempted without a valid m_CorvaneConnection (maybe be benign if "
               "at startup)"
            << MWENDREC;
        return;
    }
    if (!needsFetch(force, connection.get()))
        return;
    NoteInterestChange();
    try {
        fetchFrom(*connection, startPathOrAssert());
    } catch (const cim::CIMException& e) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << ListTraits<Item>::kClassName << "::FetchData() throws Pegasus exception - "
            << e.what() << MWENDREC;
        throw;
    } catch (const MWExceptionAbstractClass&) {
        throw;
    } catch (...) {
        MWTRACE(TV_WARNING, TC_ERROR_EXCEPTION_CAUGHT)
            << ListTraits<Item>::kClassName << "::FetchData() throws unknown exception" << MWENDREC;
        throw;
    }
    m_fetched = true;
    m_invalidated = false;
    m_lastFetch = Clock::now();
}

template <typename Item>
bool CIM_ListContainer<Item>::needsFetch(bool force,
                                         const CorvaneConnectionImpl* connection) const {
    return !m_fetched || m_invalidated || force ||
           (IsExpiryInForce(connection) && IsExpired(m_lastFetch));
}

template <typename Item> cim::CIMObjectPath CIM_ListContainer<Item>::startPathOrAssert() const {
    using Kind = CIM_ContainerAnchor::Kind;
    const cim::CIMObjectPath start = m_anchor.GetStartPath();
    switch (m_anchor.GetKind()) {
    case Kind::Anchor_Enumerate:
        return start;
    case Kind::Anchor_PathReference:
        // An empty referenced path (a root not known yet) means an enumeration.
        if (!m_anchor.HasPathReference())
            assertionFailure("CIM_ObjectList() m_rootCIMObjectPathPtr is uninitialized");
        return start;
    case Kind::Anchor_OwnPath:
        if (start.isNull())
            assertionFailure("CIM_ObjectList() m_rootCIMObjectPath is uninitialized");
        return start;
    case Kind::Anchor_SourceObject:
        if (start.isNull())
            assertionFailure("CIM_ObjectList() m_SourceObject->GetCIMObjectPath() returns and "
                             "uninitialized CIMObjectPath");
        return start;
    }
    assertionFailure("CIM_ObjectList() has detected internal inconsistency");
}

template <typename Item>
void CIM_ListContainer<Item>::fetchFrom(UACIMClient& client, const cim::CIMObjectPath& start) {
    if (start.isNull() || m_anchor.GetSteps().empty())
        fetchByEnumeration(client);
    else
        fetchByAssociation(client, start);
}

template <typename Item> void CIM_ListContainer<Item>::fetchByEnumeration(UACIMClient& client) {
    m_waypoints.clear();
    std::vector<cim::CIMInstance> instances =
        client.enumerateInstances(UACIMClient::kArrayNamespace, m_anchor.GetResultClassName());
    std::vector<Item> items;
    items.reserve(instances.size());
    for (cim::CIMInstance& instance : instances)
        items.push_back(ListTraits<Item>::fromInstance(std::move(instance)));
    setItems(std::move(items));
    MWTRACE(TV_DETAIL, TC_INFO_DEBUG) << "Fetched (by enumeration) " << ListTraits<Item>::kListName
                                      << ".size()=" << m_items.size() << MWENDREC;
}

template <typename Item>
void CIM_ListContainer<Item>::fetchByAssociation(UACIMClient& client,
                                                 const cim::CIMObjectPath& start) {
    const CIM_AssociationSpec& last = m_anchor.GetSteps().back();
    std::vector<Item> items;
    m_waypoints.clear();
    for (const cim::CIMObjectPath& path : m_anchor.WalkToLastStep(client, start, &m_waypoints)) {
        std::vector<Item> found = ListTraits<Item>::lastStep(client, path, last);
        MWTRACE(TV_DETAIL, TC_INFO_DEBUG)
            << found.size() << ListTraits<Item>::kReturned << " path=" << path << MWENDREC;
        items.insert(items.end(), std::make_move_iterator(found.begin()),
                     std::make_move_iterator(found.end()));
    }
    setItems(std::move(items));
}

// ---- invalidation and indications -----------------------------------------------------------

template <typename Item> bool CIM_ListContainer<Item>::InvalidateCache() {
    ScopedLock lock(*this);
    return invalidateLocked();
}

template <typename Item> bool CIM_ListContainer<Item>::invalidateLocked() {
    if (!m_fetched || m_invalidated)
        return false;
    m_invalidated = true;
    return true;
}

template <typename Item>
bool CIM_ListContainer<Item>::InvalidateCacheIfPath(const cim::CIMObjectPath& path) {
    ScopedLock lock(*this);
    return holdsPathLocked(path) && invalidateLocked();
}

// What creationCanReach, touchesWalkLocked and holdsPathLocked look at. A list anchored on
// another container walks from that container's path, which can change without this list
// being told: its reactions cannot be told by paths.
template <typename Item>
void CIM_ListContainer<Item>::CollectInterest(PathInterest& interest) const {
    // Without waiting: a list being read by another thread throws UALockTimeout, and the
    // service is then offered the indication, as if it could not say.
    ScopedLock lock(*this, 0);
    switch (m_anchor.GetKind()) {
    case Anchor_Enumerate:
        interest.TakeEveryCreation();
        break;
    case Anchor_SourceObject:
        interest.TakeEverything();
        return;
    case Anchor_PathReference:
    case Anchor_OwnPath:
        interest.TakePlainCreations();
        if (const cim::CIMObjectPath* anchor = m_anchor.HeldStartPath())
            interest.AddWalked(*anchor);
        break;
    }
    for (const cim::CIMObjectPath& waypoint : m_waypoints)
        interest.AddWalked(waypoint);
    for (const Item& item : m_items)
        interest.AddWalked(ListTraits<Item>::pathOf(item));
}

template <typename Item>
bool CIM_ListContainer<Item>::HoldsPath(const cim::CIMObjectPath& path) const {
    ScopedLock lock(*this);
    return holdsPathLocked(path);
}

template <typename Item> void CIM_ListContainer<Item>::pushItem(Item item) {
    NoteInterestChange();
    if (m_entryHashes)
        m_entryHashes->insert(ObjectPathIdentityHash(ListTraits<Item>::pathOf(item)));
    m_items.push_back(std::move(item));
}

template <typename Item>
bool CIM_ListContainer<Item>::holdsPathLocked(const cim::CIMObjectPath& path) const {
    if (m_entryHashes && m_entryHashes->count(ObjectPathIdentityHash(path)) == 0)
        return false;
    return std::any_of(m_items.begin(), m_items.end(), [&](const Item& item) {
        return IsSameObjectPath(ListTraits<Item>::pathOf(item), path);
    });
}

template <typename Item>
std::uint32_t
CIM_ListContainer<Item>::UpdateObjectContainerWithIndication(const UAIndication& indication) {
    // The anchor's classes are fixed at construction (a referenced root path is the
    // profile's, and the profile's lock is held here): most indications offered to a list
    // are of no class of it and go without taking its lock.
    if (indication.GetKind() != UAIndication::IndicationKind_CIMObject ||
        !m_anchor.Concerns(indication.GetSourceClassName()))
        return 0;
    ScopedLock lock(*this);
    return applyIndication(indication);
}

template <typename Item>
std::uint32_t CIM_ListContainer<Item>::applyIndication(const UAIndication& indication) {
    const cim::CIMObjectPath& path = indication.GetSourceObjectPath();
    switch (indication.GetType()) {
    case UAIndication::CIMIndicationType_Creation:
        return refetchForCreation(path);
    case UAIndication::CIMIndicationType_Deletion:
        return applyDeletion(indication);
    case UAIndication::CIMIndicationType_Modification:
        return replaceItem(indication);
    case UAIndication::CIMIndicationType_Refresh:
        MWTRACE(TV_DETAIL, TC_INFO_DEBUG)
            << "UpdateObjectContainerWithIndication for CIMIndicationType_Refresh "
            << " for " << path << " on " << ListTraits<Item>::kClassName << " containing a "
            << m_anchor.GetResultClassName() << MWENDREC;
        invalidateLocked();
        return 1;
    case UAIndication::CIMIndicationType_Unknown:
        return 0;
    }
    return 0;
}

// The created object is often not an entry at all (an association or a class of an
// earlier step), and the refetch shows the array as it is now, not as it was when the
// creation happened: changes made since, such as a deletion whose own indication will then
// find nothing to remove, count here or nowhere.
template <typename Item>
std::uint32_t CIM_ListContainer<Item>::refetchForCreation(const cim::CIMObjectPath& path) {
    if (holdsPathLocked(path))
        return 0;
    // A list nobody has read yet holds nothing a change could make stale, and its first
    // read fetches anyway: reading it now would cost every unread list of every object
    // handle a request per creation on the array.
    if (!m_fetched || !creationCanReach(path))
        return 0;
    if (m_invalidated) {
        // Nobody has seen entries that could have gone.
        FetchData(true);
        return holdsPathLocked(path) ? 1 : 0;
    }
    const DirectLink link = directLinkOf(path);
    if (link.kind == DirectLink::Entry)
        return addEntry(link.end);
    return link.kind == DirectLink::Unrelated ? 0 : refetchCountingChanges();
}

// A list one association away from its anchor gets a new entry only through an association
// that names the anchor and the entry: such a creation (or deletion) says which entry joins
// (or leaves), and one read of it (or none) replaces reading the whole list, which on an
// array of a thousand volumes is a thousand instances for every volume made or deleted. The
// association must be of the walk's class; its other end joins when its class is the result
// class or derives from it (the array is asked once per result class), and an object of
// another class (the system's new target, beside its new volume) changes nothing. Anything
// less certain (an array that does not name its classes, an association of an object with
// itself) reads the list.
template <typename Item>
typename CIM_ListContainer<Item>::DirectLink
CIM_ListContainer<Item>::directLinkOf(const cim::CIMObjectPath& association) const {
    if (m_anchor.GetSteps().size() != 1)
        return {};
    const CIM_AssociationSpec& step = m_anchor.GetSteps().front();
    if (association.getClassName() != step.associationClass)
        return {};
    const cim::CIMObjectPath anchor = m_anchor.GetStartPath();
    bool namesAnchor = false;
    std::vector<const cim::CIMObjectPath*> others;
    for (const cim::CIMKeyBinding& key : association.getKeyBindings()) {
        if (key.getType() != cim::CIMKeyBinding::Type::Reference)
            continue;
        if (!namesAnchor && IsSameObjectPath(key.getReference(), anchor))
            namesAnchor = true;
        else
            others.push_back(&key.getReference());
    }
    const std::shared_ptr<CorvaneConnectionImpl> connection = m_CorvaneConnection.Lock();
    if (!namesAnchor || others.size() != 1 || !connection)
        return {};
    const std::optional<bool> joins =
        connection->ClassDerives(others.front()->getClassName(), step.resultClass);
    if (!joins)
        return {};
    // An entry a walk read names the array's host and namespace; a reference key may leave
    // them out, and the facades made from entries know their objects by these paths.
    cim::CIMObjectPath end = *others.front();
    if (end.getHost().empty())
        end.setHost(association.getHost());
    if (end.getNameSpace().isNull())
        end.setNameSpace(association.getNameSpace());
    return {*joins ? DirectLink::Entry : DirectLink::Unrelated, std::move(end)};
}

template <typename Item>
std::uint32_t CIM_ListContainer<Item>::addEntry(const cim::CIMObjectPath& path) {
    if (holdsPathLocked(path))
        return 0;
    const std::shared_ptr<CorvaneConnectionImpl> connection = m_CorvaneConnection.Lock();
    if (!connection)
        return 0;
    std::optional<Item> entry = ListTraits<Item>::readEntry(*connection, path);
    if (!entry)
        return 0;
    pushItem(std::move(*entry));
    m_membershipGeneration = nextMembershipGeneration();
    return 1;
}

// Every handle of a volume holds lists walked from it (its extents, its targets): were each
// to read the array again for every new extent or target anywhere on the array, one volume
// made on an array of a thousand would cost a thousand requests per announced object. A new
// object joins a walked list only through an association to the anchor or to an object the
// walk passed, so an association's creation reaches the lists whose walk it touches, and a
// plain object's creation reaches walked lists only while the array has not shown that it
// announces associations. An enumerated list takes every creation of its classes.
template <typename Item>
bool CIM_ListContainer<Item>::creationCanReach(const cim::CIMObjectPath& path) const {
    if (m_anchor.GetKind() == CIM_ObjectContainerInterface::Anchor_Enumerate)
        return true;
    if (IsAssociationPath(path))
        return touchesWalkLocked(path);
    const std::shared_ptr<CorvaneConnectionImpl> connection = m_CorvaneConnection.Lock();
    return !connection || !connection->AnnouncesAssociations();
}

// A deleted entry is dropped. The deletion of an object the walk passed, or of an
// association that names one of them, the anchor or an entry, names no entry, yet it can
// cut entries off (a revoked grant takes its initiator off the target's list): the list is
// read again, as for a creation. Anything else changes nothing (an association between
// objects of other lists, another volume's target), nor does anything while the list is not
// fetched or already invalidated, since its next read fetches anyway.
template <typename Item>
std::uint32_t CIM_ListContainer<Item>::applyDeletion(const UAIndication& indication) {
    const cim::CIMObjectPath& path = indication.GetSourceObjectPath();
    if (holdsPathLocked(path))
        return removePath(path);
    if (!m_fetched || m_invalidated || !touchesWalkLocked(path))
        return 0;
    const DirectLink link = directLinkOf(path);
    if (link.kind == DirectLink::Entry)
        return removePath(link.end);
    return link.kind == DirectLink::Unrelated ? 0 : refetchCountingChanges();
}

template <typename Item>
bool CIM_ListContainer<Item>::touchesWalkLocked(const cim::CIMObjectPath& path) const {
    if (isOnWalkLocked(path))
        return true;
    // A reference key holds its path already parsed.
    const cim::CIMObjectPath* held = m_anchor.HeldStartPath();
    const cim::CIMObjectPath start = held ? cim::CIMObjectPath() : m_anchor.GetStartPath();
    const cim::CIMObjectPath& anchor = held ? *held : start;
    return std::any_of(path.getKeyBindings().begin(), path.getKeyBindings().end(),
                       [&](const cim::CIMKeyBinding& key) {
                           if (key.getType() != cim::CIMKeyBinding::Type::Reference)
                               return false;
                           const cim::CIMObjectPath& named = key.getReference();
                           return IsSameObjectPath(named, anchor) || isOnWalkLocked(named) ||
                                  holdsPathLocked(named);
                       });
}

template <typename Item>
bool CIM_ListContainer<Item>::isOnWalkLocked(const cim::CIMObjectPath& path) const {
    return std::any_of(
        m_waypoints.begin(), m_waypoints.end(),
        [&](const cim::CIMObjectPath& waypoint) { return IsSameObjectPath(waypoint, path); });
}

// The number of entries a forced fetch added or dropped.
template <typename Item> std::uint32_t CIM_ListContainer<Item>::refetchCountingChanges() {
    const std::vector<Item> before = m_items;
    FetchData(true);
    // Lists run to thousands of entries: the others are looked up by bucket.
    auto missingFrom = [](const std::vector<Item>& items, const std::vector<Item>& others) {
        std::unordered_multimap<std::size_t, const cim::CIMObjectPath*> buckets;
        buckets.reserve(others.size());
        for (const Item& other : others) {
            const cim::CIMObjectPath& path = ListTraits<Item>::pathOf(other);
            buckets.emplace(ObjectPathIdentityHash(path), &path);
        }
        return std::count_if(items.begin(), items.end(), [&](const Item& item) {
            const cim::CIMObjectPath& path = ListTraits<Item>::pathOf(item);
            const auto [first, last] = buckets.equal_range(ObjectPathIdentityHash(path));
            return std::none_of(first, last, [&](const auto& entry) {
                return IsSameObjectPath(path, *entry.second);
            });
        });
    };
    return static_cast<std::uint32_t>(missingFrom(m_items, before) + missingFrom(before, m_items));
}

template <typename Item>
std::uint32_t CIM_ListContainer<Item>::removePath(const cim::CIMObjectPath& path) {
    const auto removed = std::erase_if(m_items, [&](const Item& item) {
        return IsSameObjectPath(ListTraits<Item>::pathOf(item), path);
    });
    if (removed == 0)
        return 0;
    m_membershipGeneration = nextMembershipGeneration();
    // The same object has the same identity hash, whatever its spelling.
    const std::size_t hash = ObjectPathIdentityHash(path);
    for (auto left = removed; m_entryHashes && left > 0; --left) {
        if (const auto held = m_entryHashes->find(hash); held != m_entryHashes->end())
            m_entryHashes->erase(held);
    }
    return static_cast<std::uint32_t>(removed);
}

template <typename Item>
std::uint32_t CIM_ListContainer<Item>::replaceItem(const UAIndication& indication) {
    const std::optional<Item> changed = ListTraits<Item>::fromIndication(indication);
    if (!changed)
        return 0;
    std::uint32_t replaced = 0;
    for (Item& item : m_items) {
        if (IsSameObjectPath(ListTraits<Item>::pathOf(item), indication.GetSourceObjectPath())) {
            // An entry read after the change happened is newer than the indication.
            if (!ListTraits<Item>::followedOnBy(item, indication))
                return invalidateLocked() ? 1 : 0;
            item = *changed;
            ++replaced;
        }
    }
    return replaced;
}

template class CIM_ListContainer<cim::CIMObject>;
template class CIM_ListContainer<cim::CIMObjectPath>;

} // namespace Merrow::UserAgent
