#pragma once

// The CIM instances of one namespace of the simulated array, with the association links
// between them, indexed for the operations a CIM server answers: look-up by path (also by
// the primary key alone, see ClassRegistry), enumeration of a class with its subclasses in
// creation order, and association walks with the AssocClass / ResultClass / Role /
// ResultRole filters.
//
// Content arrives in groups: everything derived from one object of the array (a volume
// brings its settings, leaf extents, target and their links). Replacing a group compares
// the old content with the new one and reports what was created, modified and deleted, so
// indications follow from every change without the callers listing them.
//
// Associations are kept as links between two stored objects, not as instances; an
// association instance is built when a client asks for one (References, EnumerateInstances
// of an association class) or when an indication reports one.
//
// Not thread-safe: the owner (ArrayModel) guards it with its model lock. Stored instances
// are immutable and shared, so callers may keep them after the lock is released.

#include "sim/ClassRegistry.h"

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObjectPath.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace Merrow::Sim {

// An instance as a group projects it; the store builds its path from its key properties.
using ProjectedObject = cim::CIMInstance;

struct ProjectedLink {
    std::string associationClass;
    // Object keys (InstanceStore::objectKey) in the association's role order.
    std::string ends[2];
    // When set, the walk from ends[0] to ends[1] only reaches ends[1] if the walk names no
    // result class or one that ends[1] is an instance of and that is at least this class.
    // It keeps a superclass-wide result filter from picking up a relative that the walk's
    // callers never mean (see ModelProjection for where it is used).
    std::string narrowFarEndTo;
};

struct ProjectedGroup {
    std::vector<ProjectedObject> objects;
    std::vector<ProjectedLink> links;
};

// The encoded form of a stored instance, made on first use. Readers share the model lock,
// so the slot is atomic; two readers may both encode it, which is harmless.
// An object's encoded text, shared by the enumerations that read it. A mutex rather than
// std::atomic<std::shared_ptr>: GCC 12's lock bit in that pointer is invisible to
// ThreadSanitizer, which then reports every load beside a store.
class EncodedInstance {
public:
    std::shared_ptr<const std::string> load() const
    {
        std::lock_guard lock(m_mutex);
        return m_namedInstance;
    }
    void store(std::shared_ptr<const std::string> text)
    {
        std::lock_guard lock(m_mutex);
        m_namedInstance = std::move(text);
    }

private:
    mutable std::mutex m_mutex; // guards m_namedInstance
    std::shared_ptr<const std::string> m_namedInstance;
};

struct StoredObject {
    std::string key;
    const ClassInfo* cls = nullptr;
    std::shared_ptr<const cim::CIMObjectPath> path;
    std::shared_ptr<const cim::CIMInstance> instance;
    std::uint64_t sequence = 0;
    std::string group;
    std::unique_ptr<EncodedInstance> encoded = std::make_unique<EncodedInstance>();
};

struct StoredLink {
    std::uint64_t sequence = 0;
    const ClassInfo* cls = nullptr;
    std::string endKeys[2];
    std::shared_ptr<const cim::CIMObjectPath> endPaths[2];
    const ClassInfo* narrowFarEndTo = nullptr;
    std::string group;
};

enum class ChangeKind { Created, Modified, Deleted };

// One change of a commit. An association instance is only built when someone looks at it:
// most commits have no subscriber, and building them costs more than the commit itself.
// Not thread-safe; a change list is read by one thread.
class InstanceChange {
public:
    static InstanceChange ofObject(ChangeKind kind, std::shared_ptr<const cim::CIMInstance> instance,
                                   std::shared_ptr<const cim::CIMInstance> previous = nullptr);
    static InstanceChange ofLink(ChangeKind kind, const StoredLink& link, const std::string& nameSpace);

    ChangeKind kind() const { return m_kind; }
    const std::string& className() const;
    // The instance after the change; for a deletion the instance that was deleted.
    const std::shared_ptr<const cim::CIMInstance>& instance() const;
    // The instance before a modification.
    const std::shared_ptr<const cim::CIMInstance>& previous() const { return m_previous; }

private:
    ChangeKind m_kind = ChangeKind::Created;
    mutable std::shared_ptr<const cim::CIMInstance> m_instance;
    std::shared_ptr<const cim::CIMInstance> m_previous;
    const ClassInfo* m_linkClass = nullptr;
    std::shared_ptr<const cim::CIMObjectPath> m_linkEnds[2];
    std::string m_nameSpace;
};

// Changes of one commit in the order indications should report them: creations of objects
// before the links that join them, and deletions of links before the objects they join.
struct ChangeSet {
    std::vector<InstanceChange> createdObjects;
    std::vector<InstanceChange> createdLinks;
    std::vector<InstanceChange> modified;
    std::vector<InstanceChange> deletedLinks;
    std::vector<InstanceChange> deletedObjects;

    bool empty() const;
    std::vector<InstanceChange> inOrder() const;
};

struct AssociationWalk {
    const ClassInfo* associationClass = nullptr;
    const ClassInfo* resultClass = nullptr;
    std::string role;
    std::string resultRole;
};

class InstanceStore {
public:
    explicit InstanceStore(std::string nameSpace);

    const std::string& nameSpace() const { return m_nameSpace; }

    // The key under which an object of exactly `className` with that primary key value is
    // stored. Groups use it to name the ends of their links.
    static std::string objectKey(const std::string& className, const std::string& primaryValue);

    // Replaces the content of several groups at once. Objects are created and modified
    // first, then links, then objects deleted, so a link may join objects of two groups
    // that appear in the same call. Throws std::logic_error when a group projects an object
    // that another group already holds (a projection mistake, never a client's).
    void replaceGroups(std::vector<std::pair<std::string, ProjectedGroup>> groups, ChangeSet& changes);
    void removeGroup(const std::string& group, ChangeSet& changes);
    bool hasGroup(const std::string& group) const { return m_groups.count(group) != 0; }
    std::vector<std::string> groupNames() const;

    // The stored object the path names (its class may be a superclass of the object's),
    // or nullptr. An association path gives nullptr here; see findLink.
    const StoredObject* find(const cim::CIMObjectPath& path) const;
    const StoredObject* findByKey(const std::string& key) const;
    const StoredLink* findLink(const cim::CIMObjectPath& path) const;

    // Objects of the class and its subclasses, in creation order.
    std::vector<const StoredObject*> enumerate(const ClassInfo& cls) const;
    std::vector<const StoredLink*> enumerateLinks(const ClassInfo& associationClass) const;

    std::vector<const StoredObject*> associators(const StoredObject& source, const AssociationWalk& walk) const;
    std::vector<const StoredLink*> references(const StoredObject& source, const ClassInfo* associationClass,
                                              const std::string& role) const;

    // The association instance a link stands for, with its path.
    cim::CIMInstance associationInstance(const StoredLink& link) const;
    static cim::CIMInstance associationInstance(const ClassInfo& cls, const std::shared_ptr<const cim::CIMObjectPath> (&ends)[2],
                                                const std::string& nameSpace);

    std::size_t objectCount() const { return m_objects.size(); }
    std::size_t linkCount() const { return m_links.size(); }

private:
    struct GroupEntry {
        std::vector<std::string> objectKeys;
        std::vector<std::string> linkIdentities;
    };

    void applyObjects(const std::string& group, std::vector<ProjectedObject>& objects, ChangeSet& changes);
    void applyLinks(const std::string& group, const std::vector<ProjectedLink>& links, ChangeSet& changes);
    void deleteStaleObjects(const std::string& group, ChangeSet& changes);
    void insertObject(const std::string& group, const ClassInfo& cls, std::string key,
                      std::shared_ptr<const cim::CIMObjectPath> path, std::shared_ptr<const cim::CIMInstance> instance);
    void eraseObject(const std::string& key);
    bool insertLink(const std::string& group, const ProjectedLink& link, const std::string& identity);
    void eraseLink(const std::string& identity, ChangeSet& changes);

    const ClassInfo& classOf(const cim::CIMInstance& instance) const;
    std::string keyOfInstance(const ClassInfo& cls, const cim::CIMInstance& instance) const;
    cim::CIMObjectPath pathOf(const ClassInfo& cls, const cim::CIMInstance& instance) const;
    const StoredObject* findByPrimaryKey(const ClassInfo& cls, const cim::CIMObjectPath& path) const;
    const StoredObject* findByScan(const ClassInfo& cls, const cim::CIMObjectPath& path) const;
    bool keysMatch(const StoredObject& object, const cim::CIMObjectPath& path) const;
    bool reachable(const StoredLink& link, int farEnd, const StoredObject& target, const AssociationWalk& walk) const;

    const std::string m_nameSpace;
    std::uint64_t m_nextSequence = 1;

    std::unordered_map<std::string, StoredObject> m_objects;
    // Creation order per exact class.
    std::unordered_map<const ClassInfo*, std::map<std::uint64_t, const StoredObject*>> m_byClass;

    std::unordered_map<std::string, StoredLink> m_links;  // by identity
    std::unordered_map<std::string, std::vector<const StoredLink*>> m_linksByEnd;
    std::unordered_map<const ClassInfo*, std::map<std::uint64_t, const StoredLink*>> m_linksByClass;

    std::unordered_map<std::string, GroupEntry> m_groups;
    // Objects a group held before the current replaceGroups call and no longer projects.
    std::vector<std::pair<std::string, std::vector<std::string>>> m_pendingDeletes;
};

} // namespace Merrow::Sim
