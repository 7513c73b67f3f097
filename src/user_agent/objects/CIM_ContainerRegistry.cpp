#include "user_agent/objects/CIM_ContainerRegistry.h"

#include "trace/Trace.h"

#include <algorithm>
#include <limits>

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

CIM_ContainerRegistry& CIM_ContainerRegistry::Instance() {
    static CIM_ContainerRegistry registry;
    return registry;
}

std::uint32_t CIM_ContainerRegistry::NextInstanceId() {
    std::lock_guard lock(m_mutex);
    if (++m_lastInstanceId == 0)
        m_lastInstanceId = 1;
    return m_lastInstanceId;
}

void CIM_ContainerRegistry::SetLastInstanceIdForTesting(std::uint32_t last) {
    std::lock_guard lock(m_mutex);
    m_lastInstanceId = last;
}

void CIM_ContainerRegistry::Add(const CIM_ObjectContainerInterface& container,
                                const cim::CIMName& className, bool isObjectContainer,
                                Invalidator invalidate) {
    auto entry = std::make_shared<Entry>(
        Entry{&container, className, isObjectContainer, std::move(invalidate)});
    std::lock_guard lock(m_mutex);
    m_byClass[className].push_back(entry);
    m_byContainer[&container] = std::move(entry);
}

void CIM_ContainerRegistry::Remove(const CIM_ObjectContainerInterface& container) {
    std::unique_lock lock(m_mutex);
    const auto found = m_byContainer.find(&container);
    if (found == m_byContainer.end())
        return;
    std::shared_ptr<Entry> entry = found->second;
    m_byContainer.erase(found);
    entry->removed = true;
    EntryList& list = m_byClass[entry->className];
    std::erase(list, entry);
    if (list.empty())
        m_byClass.erase(entry->className);
    m_unpinned.wait(lock, [&] { return entry->pins == 0; });
}

std::uint32_t CIM_ContainerRegistry::InvalidateClass(const cim::CIMName& className) {
    return invalidateAll(className, nullptr);
}

std::uint32_t CIM_ContainerRegistry::InvalidatePath(const cim::CIMObjectPath& path) {
    return invalidateAll(path.getClassName(), &path);
}

std::size_t CIM_ContainerRegistry::CountForClass(const cim::CIMName& className) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_byClass.find(className);
    return found == m_byClass.end() ? 0 : found->second.size();
}

std::uint32_t CIM_ContainerRegistry::invalidateAll(const cim::CIMName& className,
                                                   const cim::CIMObjectPath* path) {
    EntryList entries;
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_byClass.find(className);
        if (found != m_byClass.end())
            entries = found->second;
    }
    std::uint32_t invalidated = 0;
    for (const auto& entry : entries) {
        if (invalidateOne(*entry, path))
            ++invalidated;
    }
    return invalidated;
}

bool CIM_ContainerRegistry::invalidateOne(Entry& entry, const cim::CIMObjectPath* path) {
    {
        std::lock_guard lock(m_mutex);
        if (entry.removed)
            return false;
        ++entry.pins;
    }
    // Unpins even when the container's lock times out, so that its destructor is not stuck.
    struct Unpin {
        CIM_ContainerRegistry& registry;
        Entry& entry;
        ~Unpin() {
            std::lock_guard lock(registry.m_mutex);
            --entry.pins;
            registry.m_unpinned.notify_all();
        }
    } unpin{*this, entry};

    MWTRACE(TV_DETAIL, TC_INFO_DEBUG)
        << (path ? "InvalidateCacheForObjectPath for path="
                 : "InvalidateCacheForClassname for className=")
        << (path ? path->toString() : entry.className.getString()) << " on "
        << (entry.isObjectContainer ? "Object container" : "ObjectList container")
        << " containing class " << entry.className << MWENDREC;
    return entry.invalidate(path);
}

} // namespace Merrow::UserAgent
