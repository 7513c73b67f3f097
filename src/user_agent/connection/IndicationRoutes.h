#pragma once

#include "user_agent/indications/MerrowServiceWeakRef.h"
#include "user_agent/indications/PathInterest.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace Merrow::UserAgent {

class MerrowServiceImpl;
class StaleInterests;

// Which of a connection's services an indication may concern, found from the paths it names
// without visiting the services it does not. A large array has a thousand handles registered
// for each class of volume indication; asking each of them whether an indication names its
// data cost the dispatcher most of its time. Here every service's interest (PathInterest) is
// kept indexed by the identity hashes of its paths, next to the few services that take
// indications whatever they name (every creation, a plain creation, everything).
//
// A service's interest is gathered again when its containers mark it changed: its watch
// lists it as stale (InterestWatch, StaleInterests), and the next Concerned gathers the
// listed services before it answers. A service whose containers are busy on another thread
// cannot say what it holds: it is offered every indication until a later gathering
// succeeds, and is listed again for that.
//
// Threads: Concerned runs on the dispatcher thread; Add, Remove and Clear on any thread.
// m_mutex guards the routes and indexes and is never held while a service is called (the
// gathering runs outside it, so a service may go away meanwhile; its route is then gone and
// the result dropped). No other lock is taken while it is held.
class IndicationRoutes {
public:
    using Services = std::vector<const MerrowServiceImpl*>;

    IndicationRoutes();
    ~IndicationRoutes();
    IndicationRoutes(const IndicationRoutes&) = delete;
    IndicationRoutes& operator=(const IndicationRoutes&) = delete;

    // A service registered for indications: offered every one until its interest is
    // gathered. Adding a routed service again gathers its interest again.
    void Add(const MerrowServiceWeakRef& service);
    void Remove(const MerrowServiceImpl* service);
    void Clear();

    // The services the indication may concern, sorted by address, each once; empty optional
    // when it may concern any service (an indication type the rules do not know).
    std::optional<Services> Concerned(const PathInterest::Footprint& footprint,
                                      bool arrayAnnouncesAssociations);

private:
    struct Route {
        MerrowServiceWeakRef service;
        std::optional<PathInterest> interest; // empty: cannot say (not gathered, busy)
    };

    void gatherStale();
    void install(const MerrowServiceImpl* service, std::optional<PathInterest> interest);
    // Puts the route's service into, or takes it out of, the indexes its interest calls for;
    // m_mutex must be held.
    void index(const MerrowServiceImpl* service, const Route& route, bool add);
    void indexPath(std::size_t hash, const MerrowServiceImpl* service, bool add);
    static void placeIn(Services& services, const MerrowServiceImpl* service, bool add);

    const std::shared_ptr<StaleInterests> m_stale;
    std::mutex m_mutex; // guards the members below
    std::unordered_map<const MerrowServiceImpl*, Route> m_routes;
    std::unordered_map<std::size_t, Services> m_byPath;
    // Each sorted by address.
    Services m_unknown;
    Services m_everything;
    Services m_everyCreation;
    Services m_plainCreations;
};

} // namespace Merrow::UserAgent
