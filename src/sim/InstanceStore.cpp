#include "sim/InstanceStore.h"

#include "cim/value/CIMKeyBinding.h"
#include "cim/value/CIMProperty.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <strings.h>
#include <unordered_set>

namespace Merrow::Sim {

namespace {

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Class-name keys are compared without case: clients echo them in whatever case they like.
bool isClassNameKey(const cim::CIMName& name)
{
    return name == cim::CIMName("CreationClassName") || name == cim::CIMName("SystemCreationClassName") ||
           name == cim::CIMName("ServiceCreationClassName");
}

bool sameKeyValue(const cim::CIMName& name, const cim::CIMValue& stored, const cim::CIMKeyBinding& given)
{
    if (stored.isNull() || stored.isArray())
        return false;
    const cim::CIMKeyBinding mine(name, stored);
    if (isClassNameKey(name))
        return equalNoCase(mine.getValue(), given.getValue());
    return mine.sameValue(given);
}

std::string linkIdentity(const std::string& className, const std::string& end0, const std::string& end1)
{
    return lower(className) + "|" + end0 + "|" + end1;
}

} // namespace

InstanceChange InstanceChange::ofObject(ChangeKind kind, std::shared_ptr<const cim::CIMInstance> instance,
                                        std::shared_ptr<const cim::CIMInstance> previous)
{
    InstanceChange change;
    change.m_kind = kind;
    change.m_instance = std::move(instance);
    change.m_previous = std::move(previous);
    return change;
}

InstanceChange InstanceChange::ofLink(ChangeKind kind, const StoredLink& link, const std::string& nameSpace)
{
    InstanceChange change;
    change.m_kind = kind;
    change.m_linkClass = link.cls;
    change.m_linkEnds[0] = link.endPaths[0];
    change.m_linkEnds[1] = link.endPaths[1];
    change.m_nameSpace = nameSpace;
    return change;
}

const std::string& InstanceChange::className() const
{
    return m_linkClass != nullptr ? m_linkClass->name : m_instance->getClassName().getString();
}

const std::shared_ptr<const cim::CIMInstance>& InstanceChange::instance() const
{
    if (!m_instance) {
        m_instance = std::make_shared<const cim::CIMInstance>(
            InstanceStore::associationInstance(*m_linkClass, m_linkEnds, m_nameSpace));
    }
    return m_instance;
}

bool ChangeSet::empty() const
{
    return createdObjects.empty() && createdLinks.empty() && modified.empty() && deletedLinks.empty() &&
           deletedObjects.empty();
}

std::vector<InstanceChange> ChangeSet::inOrder() const
{
    std::vector<InstanceChange> all;
    all.reserve(createdObjects.size() + createdLinks.size() + modified.size() + deletedLinks.size() +
                deletedObjects.size());
    for (const auto* part : {&createdObjects, &createdLinks, &modified, &deletedLinks, &deletedObjects})
        all.insert(all.end(), part->begin(), part->end());
    return all;
}

InstanceStore::InstanceStore(std::string nameSpace) : m_nameSpace(std::move(nameSpace)) {}

std::string InstanceStore::objectKey(const std::string& className, const std::string& primaryValue)
{
    return lower(className) + ":" + primaryValue;
}

const ClassInfo& InstanceStore::classOf(const cim::CIMInstance& instance) const
{
    const ClassInfo* cls = ClassRegistry::instance().find(m_nameSpace, instance.getClassName().getString());
    if (cls == nullptr || cls->isAssociation())
        throw std::logic_error("no stored class " + instance.getClassName().getString() + " in " + m_nameSpace);
    return *cls;
}

std::string InstanceStore::keyOfInstance(const ClassInfo& cls, const cim::CIMInstance& instance) const
{
    if (!cls.primaryKey.empty()) {
        const cim::CIMKeyBinding binding(cls.primaryKey, instance.getPropertyValue(cls.primaryKey));
        return objectKey(cls.name, binding.getValue());
    }
    std::string identity;
    for (const std::string& key : cls.keys) {
        const cim::CIMKeyBinding binding(key, instance.getPropertyValue(key));
        identity += lower(key) + "=" + binding.getValue() + ";";
    }
    return objectKey(cls.name, identity);
}

cim::CIMObjectPath InstanceStore::pathOf(const ClassInfo& cls, const cim::CIMInstance& instance) const
{
    std::vector<cim::CIMKeyBinding> bindings;
    bindings.reserve(cls.keys.size());
    for (const std::string& key : cls.keys)
        bindings.emplace_back(key, instance.getPropertyValue(key));
    return cim::CIMObjectPath("", m_nameSpace, cls.name, std::move(bindings));
}

void InstanceStore::replaceGroups(std::vector<std::pair<std::string, ProjectedGroup>> groups, ChangeSet& changes)
{
    for (auto& [group, content] : groups)
        applyObjects(group, content.objects, changes);
    for (auto& [group, content] : groups)
        applyLinks(group, content.links, changes);
    for (auto& [group, content] : groups)
        deleteStaleObjects(group, changes);
    for (auto& [group, content] : groups) {
        auto it = m_groups.find(group);
        if (it != m_groups.end() && it->second.objectKeys.empty() && it->second.linkIdentities.empty())
            m_groups.erase(it);
    }
}

void InstanceStore::removeGroup(const std::string& group, ChangeSet& changes)
{
    std::vector<std::pair<std::string, ProjectedGroup>> groups;
    groups.emplace_back(group, ProjectedGroup{});
    replaceGroups(std::move(groups), changes);
}

void InstanceStore::applyObjects(const std::string& group, std::vector<ProjectedObject>& objects, ChangeSet& changes)
{
    GroupEntry& entry = m_groups[group];
    std::vector<std::string> keys;
    keys.reserve(objects.size());
    for (ProjectedObject& object : objects) {
        const ClassInfo& cls = classOf(object);
        std::string key = keyOfInstance(cls, object);
        auto path = std::make_shared<const cim::CIMObjectPath>(pathOf(cls, object));
        object.setPath(*path);
        keys.push_back(key);

        auto found = m_objects.find(key);
        if (found == m_objects.end()) {
            auto instance = std::make_shared<const cim::CIMInstance>(std::move(object));
            insertObject(group, cls, std::move(key), std::move(path), instance);
            changes.createdObjects.push_back(InstanceChange::ofObject(ChangeKind::Created, std::move(instance)));
            continue;
        }
        StoredObject& stored = found->second;
        if (stored.group != group)
            throw std::logic_error("object " + key + " projected by " + group + " and " + stored.group);
        if (*stored.instance == object)
            continue;
        auto previous = stored.instance;
        stored.instance = std::make_shared<const cim::CIMInstance>(std::move(object));
        stored.encoded->store(nullptr);
        changes.modified.push_back(InstanceChange::ofObject(ChangeKind::Modified, stored.instance, std::move(previous)));
    }

    std::unordered_set<std::string> kept(keys.begin(), keys.end());
    std::vector<std::string> stale;
    for (const std::string& key : entry.objectKeys) {
        if (kept.count(key) == 0)
            stale.push_back(key);
    }
    if (!stale.empty())
        m_pendingDeletes.emplace_back(group, std::move(stale));
    entry.objectKeys = std::move(keys);
}

void InstanceStore::applyLinks(const std::string& group, const std::vector<ProjectedLink>& links, ChangeSet& changes)
{
    GroupEntry& entry = m_groups[group];
    std::vector<std::string> identities;
    identities.reserve(links.size());
    std::unordered_set<std::string> wanted;
    for (const ProjectedLink& link : links) {
        std::string identity = linkIdentity(link.associationClass, link.ends[0], link.ends[1]);
        if (!wanted.insert(identity).second)
            continue;
        if (m_links.count(identity) == 0) {
            if (!insertLink(group, link, identity))
                throw std::logic_error("link " + identity + " of " + group + " joins a missing object");
            changes.createdLinks.push_back(InstanceChange::ofLink(ChangeKind::Created, m_links.at(identity), m_nameSpace));
        }
        identities.push_back(std::move(identity));
    }
    for (const std::string& identity : entry.linkIdentities) {
        if (wanted.count(identity) == 0)
            eraseLink(identity, changes);
    }
    entry.linkIdentities = std::move(identities);
}

void InstanceStore::deleteStaleObjects(const std::string& group, ChangeSet& changes)
{
    auto pending = std::find_if(m_pendingDeletes.begin(), m_pendingDeletes.end(),
                                [&](const auto& item) { return item.first == group; });
    if (pending == m_pendingDeletes.end())
        return;
    for (const std::string& key : pending->second) {
        // A link of another group that still joins the object goes with it.
        auto byEnd = m_linksByEnd.find(key);
        if (byEnd != m_linksByEnd.end()) {
            std::vector<std::string> dangling;
            for (const StoredLink* link : byEnd->second)
                dangling.push_back(linkIdentity(link->cls->name, link->endKeys[0], link->endKeys[1]));
            for (const std::string& identity : dangling) {
                auto& owner = m_groups[m_links.at(identity).group].linkIdentities;
                owner.erase(std::remove(owner.begin(), owner.end(), identity), owner.end());
                eraseLink(identity, changes);
            }
        }
        auto found = m_objects.find(key);
        if (found == m_objects.end())
            continue;
        changes.deletedObjects.push_back(InstanceChange::ofObject(ChangeKind::Deleted, found->second.instance));
        eraseObject(key);
    }
    m_pendingDeletes.erase(pending);
}

void InstanceStore::insertObject(const std::string& group, const ClassInfo& cls, std::string key,
                                 std::shared_ptr<const cim::CIMObjectPath> path,
                                 std::shared_ptr<const cim::CIMInstance> instance)
{
    StoredObject stored;
    stored.key = key;
    stored.cls = &cls;
    stored.path = std::move(path);
    stored.instance = std::move(instance);
    stored.sequence = m_nextSequence++;
    stored.group = group;
    auto [it, inserted] = m_objects.emplace(std::move(key), std::move(stored));
    m_byClass[&cls].emplace(it->second.sequence, &it->second);
}

void InstanceStore::eraseObject(const std::string& key)
{
    auto found = m_objects.find(key);
    if (found == m_objects.end())
        return;
    m_byClass[found->second.cls].erase(found->second.sequence);
    m_linksByEnd.erase(key);
    m_objects.erase(found);
}

bool InstanceStore::insertLink(const std::string& group, const ProjectedLink& link, const std::string& identity)
{
    const ClassRegistry& registry = ClassRegistry::instance();
    const ClassInfo* cls = registry.find(m_nameSpace, link.associationClass);
    if (cls == nullptr || !cls->isAssociation())
        throw std::logic_error("no association class " + link.associationClass);
    StoredLink stored;
    stored.sequence = m_nextSequence++;
    stored.cls = cls;
    stored.group = group;
    for (int end = 0; end < 2; ++end) {
        auto object = m_objects.find(link.ends[end]);
        if (object == m_objects.end())
            return false;
        stored.endKeys[end] = link.ends[end];
        stored.endPaths[end] = object->second.path;
    }
    if (!link.narrowFarEndTo.empty())
        stored.narrowFarEndTo = registry.find(m_nameSpace, link.narrowFarEndTo);

    auto [it, inserted] = m_links.emplace(identity, std::move(stored));
    const StoredLink* pointer = &it->second;
    m_linksByEnd[pointer->endKeys[0]].push_back(pointer);
    if (pointer->endKeys[1] != pointer->endKeys[0])
        m_linksByEnd[pointer->endKeys[1]].push_back(pointer);
    m_linksByClass[cls].emplace(pointer->sequence, pointer);
    return true;
}

void InstanceStore::eraseLink(const std::string& identity, ChangeSet& changes)
{
    auto found = m_links.find(identity);
    if (found == m_links.end())
        return;
    const StoredLink* pointer = &found->second;
    changes.deletedLinks.push_back(InstanceChange::ofLink(ChangeKind::Deleted, *pointer, m_nameSpace));
    for (const std::string& end : pointer->endKeys) {
        auto byEnd = m_linksByEnd.find(end);
        if (byEnd == m_linksByEnd.end())
            continue;
        auto& list = byEnd->second;
        list.erase(std::remove(list.begin(), list.end(), pointer), list.end());
        if (list.empty())
            m_linksByEnd.erase(byEnd);
    }
    m_linksByClass[pointer->cls].erase(pointer->sequence);
    m_links.erase(found);
}

std::vector<std::string> InstanceStore::groupNames() const
{
    std::vector<std::string> names;
    names.reserve(m_groups.size());
    for (const auto& [name, entry] : m_groups)
        names.push_back(name);
    return names;
}

const StoredObject* InstanceStore::findByKey(const std::string& key) const
{
    auto found = m_objects.find(key);
    return found == m_objects.end() ? nullptr : &found->second;
}

bool InstanceStore::keysMatch(const StoredObject& object, const cim::CIMObjectPath& path) const
{
    for (const cim::CIMKeyBinding& binding : path.getKeyBindings()) {
        const auto& keys = object.cls->keys;
        const bool isKey = std::any_of(keys.begin(), keys.end(), [&](const std::string& key) {
            return equalNoCase(key, binding.getName().getString());
        });
        if (!isKey)
            return false;
        const std::size_t index = object.instance->findProperty(binding.getName());
        if (index == cim::CIMPropertyContainer::npos)
            return false;
        if (!sameKeyValue(binding.getName(), object.instance->getProperty(index).getValue(), binding))
            return false;
    }
    return true;
}

const StoredObject* InstanceStore::findByPrimaryKey(const ClassInfo& cls, const cim::CIMObjectPath& path) const
{
    const cim::CIMKeyBinding* primary = path.findKeyBinding(cls.primaryKey);
    for (const ClassInfo* member : ClassRegistry::instance().family(cls)) {
        const StoredObject* object = findByKey(objectKey(member->name, primary->getValue()));
        if (object != nullptr && keysMatch(*object, path))
            return object;
    }
    return nullptr;
}

const StoredObject* InstanceStore::findByScan(const ClassInfo& cls, const cim::CIMObjectPath& path) const
{
    if (!path.hasKeys())
        return nullptr;
    for (const StoredObject* object : enumerate(cls)) {
        if (keysMatch(*object, path))
            return object;
    }
    return nullptr;
}

const StoredObject* InstanceStore::find(const cim::CIMObjectPath& path) const
{
    const ClassInfo* cls = ClassRegistry::instance().find(m_nameSpace, path.getClassName().getString());
    if (cls == nullptr || cls->isAssociation())
        return nullptr;
    if (!cls->primaryKey.empty() && path.findKeyBinding(cls->primaryKey) != nullptr)
        return findByPrimaryKey(*cls, path);
    return findByScan(*cls, path);
}

const StoredLink* InstanceStore::findLink(const cim::CIMObjectPath& path) const
{
    const ClassInfo* cls = ClassRegistry::instance().find(m_nameSpace, path.getClassName().getString());
    if (cls == nullptr || !cls->isAssociation() || path.getKeyBindings().size() != 2)
        return nullptr;
    std::string ends[2];
    for (int end = 0; end < 2; ++end) {
        const cim::CIMKeyBinding* binding = path.findKeyBinding(cls->roles[end]);
        if (binding == nullptr || binding->getType() != cim::CIMKeyBinding::Type::Reference)
            return nullptr;
        const StoredObject* object = find(binding->getReference());
        if (object == nullptr)
            return nullptr;
        ends[end] = object->key;
    }
    auto byEnd = m_linksByEnd.find(ends[0]);
    if (byEnd == m_linksByEnd.end())
        return nullptr;
    for (const StoredLink* link : byEnd->second) {
        if (link->cls->isA(*cls) && link->endKeys[0] == ends[0] && link->endKeys[1] == ends[1])
            return link;
    }
    return nullptr;
}

std::vector<const StoredObject*> InstanceStore::enumerate(const ClassInfo& cls) const
{
    std::vector<const StoredObject*> objects;
    std::size_t contributing = 0;
    for (const ClassInfo* member : ClassRegistry::instance().family(cls)) {
        auto byClass = m_byClass.find(member);
        if (byClass == m_byClass.end() || byClass->second.empty())
            continue;
        ++contributing;
        for (const auto& [sequence, object] : byClass->second)
            objects.push_back(object);
    }
    if (contributing > 1) {
        std::sort(objects.begin(), objects.end(),
                  [](const StoredObject* a, const StoredObject* b) { return a->sequence < b->sequence; });
    }
    return objects;
}

std::vector<const StoredLink*> InstanceStore::enumerateLinks(const ClassInfo& associationClass) const
{
    std::vector<const StoredLink*> links;
    for (const ClassInfo* member : ClassRegistry::instance().family(associationClass)) {
        auto byClass = m_linksByClass.find(member);
        if (byClass == m_linksByClass.end())
            continue;
        for (const auto& [sequence, link] : byClass->second)
            links.push_back(link);
    }
    std::sort(links.begin(), links.end(),
              [](const StoredLink* a, const StoredLink* b) { return a->sequence < b->sequence; });
    return links;
}

bool InstanceStore::reachable(const StoredLink& link, int farEnd, const StoredObject& target,
                              const AssociationWalk& walk) const
{
    if (walk.resultClass != nullptr && !target.cls->isA(*walk.resultClass))
        return false;
    if (!walk.resultRole.empty() && !equalNoCase(walk.resultRole, link.cls->roles[farEnd]))
        return false;
    if (link.narrowFarEndTo != nullptr && farEnd == 1 && walk.resultClass != nullptr &&
        !walk.resultClass->isA(*link.narrowFarEndTo))
        return false;
    return true;
}

std::vector<const StoredObject*> InstanceStore::associators(const StoredObject& source,
                                                            const AssociationWalk& walk) const
{
    std::vector<const StoredObject*> results;
    auto byEnd = m_linksByEnd.find(source.key);
    if (byEnd == m_linksByEnd.end())
        return results;
    std::unordered_set<const StoredObject*> seen;
    for (const StoredLink* link : byEnd->second) {
        if (walk.associationClass != nullptr && !link->cls->isA(*walk.associationClass))
            continue;
        for (int near = 0; near < 2; ++near) {
            if (link->endKeys[near] != source.key)
                continue;
            if (!walk.role.empty() && !equalNoCase(walk.role, link->cls->roles[near]))
                continue;
            const int farEnd = 1 - near;
            const StoredObject* target = findByKey(link->endKeys[farEnd]);
            if (target == nullptr || !reachable(*link, farEnd, *target, walk))
                continue;
            if (seen.insert(target).second)
                results.push_back(target);
        }
    }
    std::sort(results.begin(), results.end(),
              [](const StoredObject* a, const StoredObject* b) { return a->sequence < b->sequence; });
    return results;
}

std::vector<const StoredLink*> InstanceStore::references(const StoredObject& source,
                                                         const ClassInfo* associationClass,
                                                         const std::string& role) const
{
    std::vector<const StoredLink*> results;
    auto byEnd = m_linksByEnd.find(source.key);
    if (byEnd == m_linksByEnd.end())
        return results;
    for (const StoredLink* link : byEnd->second) {
        if (associationClass != nullptr && !link->cls->isA(*associationClass))
            continue;
        const bool roleMatches = role.empty() ||
                                 (link->endKeys[0] == source.key && equalNoCase(role, link->cls->roles[0])) ||
                                 (link->endKeys[1] == source.key && equalNoCase(role, link->cls->roles[1]));
        if (roleMatches)
            results.push_back(link);
    }
    std::sort(results.begin(), results.end(),
              [](const StoredLink* a, const StoredLink* b) { return a->sequence < b->sequence; });
    return results;
}

cim::CIMInstance InstanceStore::associationInstance(const StoredLink& link) const
{
    return associationInstance(*link.cls, link.endPaths, m_nameSpace);
}

cim::CIMInstance InstanceStore::associationInstance(const ClassInfo& cls,
                                                    const std::shared_ptr<const cim::CIMObjectPath> (&ends)[2],
                                                    const std::string& nameSpace)
{
    cim::CIMInstance instance(cls.name);
    std::vector<cim::CIMKeyBinding> bindings;
    for (int end = 0; end < 2; ++end) {
        const std::string& role = cls.roles[end];
        instance.addProperty(cim::CIMProperty(role, cim::CIMValue(*ends[end])));
        bindings.emplace_back(role, *ends[end]);
    }
    instance.setPath(cim::CIMObjectPath("", nameSpace, cls.name, std::move(bindings)));
    return instance;
}

} // namespace Merrow::Sim
