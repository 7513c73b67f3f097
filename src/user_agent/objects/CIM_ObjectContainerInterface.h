#pragma once

#include "cim/value/CIMName.h"
#include "cim/value/CIMObjectPath.h"
#include "user_agent/connection/CorvaneConnectionWeakRef.h"
#include "user_agent/indications/InterestWatch.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace Merrow::UserAgent {

class CorvaneConnectionImpl;
class PathInterest;
class UAIndication;

// Base of the three kinds of cached CIM data (one instance, a list of instances, a list of
// paths). A container knows where its data lives on the array (its anchor), fetches it on
// first use, and keeps it until an indication or an invalidation says otherwise.
//
// Every container is entered in the process-wide container registry under its result class
// name for as long as it lives, so that InvalidateCacheForClassname/ForObjectPath reach it.
class CIM_ObjectContainerInterface {
public:
    // How a container finds its start path.
    enum AnchorKind : std::uint32_t {
        Anchor_Enumerate = 1,     // enumerate the result class
        Anchor_PathReference = 2, // a path owned elsewhere (the profile's root), followed
        Anchor_OwnPath = 3,       // a copy of a path
        Anchor_SourceObject = 4,  // the path of another container
    };

    virtual ~CIM_ObjectContainerInterface();
    CIM_ObjectContainerInterface(const CIM_ObjectContainerInterface&) = delete;
    CIM_ObjectContainerInterface& operator=(const CIM_ObjectContainerInterface&) = delete;

    virtual void SetConnection(const CorvaneConnectionWeakRef& connection) = 0;
    // How many changes the indication made to this container (0: it did not concern it).
    virtual std::uint32_t UpdateObjectContainerWithIndication(const UAIndication& indication) = 0;
    virtual cim::CIMName GetCIMClassName() const = 0;
    virtual std::string GetCIMNamespace() const = 0;
    // Fetches from the array when the cache is empty, stale or `force` is set. CIM errors
    // are traced and rethrown (MWException family or cim::CIMException).
    virtual void FetchData(bool force) = 0;
    virtual bool IsObjectContainer() const = 0;
    // Drops the cached data; true when something was dropped.
    virtual bool InvalidateCache() = 0;
    // Drops the cached data only when it is (or holds) the object at `path`.
    virtual bool InvalidateCacheIfPath(const cim::CIMObjectPath& path) = 0;
    // Stored for the owner; nothing in the library reads it.
    virtual void SetContainerFlag(std::uint8_t flag) { m_containerFlag = flag; }
    // The path of the held instance (CIM_Object fetches first when empty); the empty path
    // when there is none.
    virtual cim::CIMObjectPath GetCIMObjectPath() = 0;
    // The start path of the container's walk, empty for enumerations.
    virtual cim::CIMObjectPath GetAnchorPath() const = 0;
    // Writes the cached instance back to the array (ModifyInstance); lists do nothing.
    virtual void UpdateCimServerWithData() = 0;
    // Adds the paths whose indications can change the container (see PathInterest), as it
    // stands now; sends no request and does not wait: throws UALockTimeout when another
    // thread holds the container.
    virtual void CollectInterest(PathInterest& interest) const = 0;

    // What the container marks whenever the paths it would give CollectInterest
    // may change: when a fetch starts (so that a check made while it runs does not go by
    // what was gathered before) and when an entry or instance is put in outside a fetch.
    // Owned by the service, which outlives its profiles' containers; set once, when the
    // profile is initialised, before the service is shared.
    void SetInterestWatch(InterestWatch* watch) { m_interestWatch = watch; }

    std::uint32_t GetObjectContainerInstanceId() const { return m_ObjectContainerInstanceId; }
    std::uint8_t GetContainerFlag() const { return m_containerFlag; }

    // Invalidate every registered container of `className` / holding `path`; the number of
    // containers that dropped data.
    static std::uint32_t InvalidateCacheForClassname(const cim::CIMName& className);
    static std::uint32_t InvalidateCacheForObjectPath(const cim::CIMObjectPath& path);

    // The age after which cached data is refetched when time-based expiry is in force
    // (5000 ms unless a test changes it).
    static void SetExpiryLimit(std::chrono::milliseconds limit);
    static std::chrono::milliseconds GetExpiryLimit();

protected:
    using Clock = std::chrono::steady_clock;
    using FetchTime = std::optional<Clock::time_point>; // empty: never fetched
    // How the registry invalidates the container without a virtual call: with a path, only
    // when the container holds it.
    using Invalidator = std::function<bool(const cim::CIMObjectPath* path)>;

    // Draws the instance id (never 0). Registration under the result class name is done by
    // the concrete class once it is fully constructed (RegisterContainer), and undone by
    // UnregisterContainer, which every concrete destructor calls first and the base
    // destructor calls again (it is idempotent).
    CIM_ObjectContainerInterface();
    void RegisterContainer(const cim::CIMName& resultClassName, Invalidator invalidate);
    void UnregisterContainer();

    // Expiry by age applies when nothing would tell the container about changes: no
    // connection, or a connection without indications.
    static bool IsExpiryInForce(const CorvaneConnectionImpl* connection);
    static bool IsExpired(const FetchTime& lastFetch);
    // Called with the container's lock held.
    void NoteInterestChange() {
        if (m_interestWatch)
            m_interestWatch->MarkChanged();
    }

private:
    const std::uint32_t m_ObjectContainerInstanceId;
    std::uint8_t m_containerFlag = 0;
    InterestWatch* m_interestWatch = nullptr;
};

} // namespace Merrow::UserAgent
