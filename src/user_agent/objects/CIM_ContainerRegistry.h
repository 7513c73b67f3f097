#pragma once

#include "cim/value/CIMName.h"
#include "cim/value/CIMObjectPath.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace Merrow::UserAgent {

class CIM_ObjectContainerInterface;

// The process-wide map from CIM class name to the live containers that hold objects of that
// class, and the counter that numbers containers for the traces.
//
// A registration carries the container's own invalidation as a callable that does not go
// through the container's virtual table, so a walk never depends on how far a container's
// construction or destruction has come.
//
// Threads: any. m_mutex guards the map, the pins and the counter and is never held while a
// container is called: a walk pins an entry, releases the mutex, invalidates, then unpins.
// Remove waits until no walk has the container pinned, so a container is never called after
// its unregistration has returned. A walk takes the container's lock while holding nothing of
// the registry, so a thread that holds container or profile locks may register, unregister
// or walk without deadlocking against another walk.
class CIM_ContainerRegistry {
public:
    // Invalidates the container; with a path, only when it holds that object. True when
    // something was dropped.
    using Invalidator = std::function<bool(const cim::CIMObjectPath* path)>;

    static CIM_ContainerRegistry& Instance();

    CIM_ContainerRegistry() = default;
    CIM_ContainerRegistry(const CIM_ContainerRegistry&) = delete;
    CIM_ContainerRegistry& operator=(const CIM_ContainerRegistry&) = delete;

    // Never 0: after the largest number the count starts again at 1.
    std::uint32_t NextInstanceId();
    // Lets a test reach the wrap-around without constructing four billion containers.
    void SetLastInstanceIdForTesting(std::uint32_t last);

    void Add(const CIM_ObjectContainerInterface& container, const cim::CIMName& className,
             bool isObjectContainer, Invalidator invalidate);
    // Idempotent; returns once no walk is calling the container any more.
    void Remove(const CIM_ObjectContainerInterface& container);

    // The number of containers that dropped data.
    std::uint32_t InvalidateClass(const cim::CIMName& className);
    std::uint32_t InvalidatePath(const cim::CIMObjectPath& path);

    std::size_t CountForClass(const cim::CIMName& className) const;

private:
    struct Entry {
        const CIM_ObjectContainerInterface* container;
        cim::CIMName className;
        bool isObjectContainer;
        Invalidator invalidate;
        unsigned pins = 0;
        bool removed = false;
    };
    using EntryList = std::vector<std::shared_ptr<Entry>>;

    std::uint32_t invalidateAll(const cim::CIMName& className, const cim::CIMObjectPath* path);
    bool invalidateOne(Entry& entry, const cim::CIMObjectPath* path);

    mutable std::mutex m_mutex;
    std::condition_variable m_unpinned;
    std::map<cim::CIMName, EntryList, cim::CIMNameLess> m_byClass;
    std::map<const CIM_ObjectContainerInterface*, std::shared_ptr<Entry>> m_byContainer;
    std::uint32_t m_lastInstanceId = 0;
};

} // namespace Merrow::UserAgent
