#include "user_agent/connection/IndicationRoutes.h"

#include "user_agent/indications/MerrowServiceImpl.h"
#include "user_agent/indications/StaleInterests.h"

#include <algorithm>
#include <utility>

namespace Merrow::UserAgent {

IndicationRoutes::IndicationRoutes() : m_stale(std::make_shared<StaleInterests>()) {}

IndicationRoutes::~IndicationRoutes() = default;

void IndicationRoutes::Add(const MerrowServiceWeakRef& service) {
    const auto live = service.Lock();
    if (!live)
        return;
    {
        std::lock_guard lock(m_mutex);
        const auto [at, added] = m_routes.try_emplace(live.get());
        at->second.service = service;
        if (added)
            index(live.get(), at->second, true);
    }
    live->GetInterestWatch().WatchWith(m_stale);
}

void IndicationRoutes::Remove(const MerrowServiceImpl* service) {
    std::lock_guard lock(m_mutex);
    const auto route = m_routes.find(service);
    if (route == m_routes.end())
        return;
    index(service, route->second, false);
    m_routes.erase(route);
}

void IndicationRoutes::Clear() {
    std::lock_guard lock(m_mutex);
    m_routes.clear();
    m_byPath.clear();
    m_unknown.clear();
    m_everything.clear();
    m_everyCreation.clear();
    m_plainCreations.clear();
}

std::optional<IndicationRoutes::Services>
IndicationRoutes::Concerned(const PathInterest::Footprint& footprint,
                            bool arrayAnnouncesAssociations) {
    if (footprint.IsUnknownType())
        return std::nullopt;
    gatherStale();
    Services found;
    const auto take = [&found](const Services& services) {
        found.insert(found.end(), services.begin(), services.end());
    };
    std::lock_guard lock(m_mutex);
    take(m_unknown);
    take(m_everything);
    if (footprint.IsCreation())
        take(m_everyCreation);
    if (footprint.IsPlainCreation() && !arrayAnnouncesAssociations)
        take(m_plainCreations);
    footprint.ForEachPath([&](std::size_t hash) {
        const auto services = m_byPath.find(hash);
        if (services != m_byPath.end())
            take(services->second);
    });
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    // The indexes only find the candidates; each interest's own rules tell whether it is
    // concerned (a held path is not changed by a creation that names it, for one).
    std::erase_if(found, [&](const MerrowServiceImpl* service) {
        const auto route = m_routes.find(service);
        return route != m_routes.end() && route->second.interest &&
               !route->second.interest->Concerns(footprint, arrayAnnouncesAssociations);
    });
    return found;
}

void IndicationRoutes::gatherStale() {
    for (const MerrowServiceImpl* raw : m_stale->TakeAll()) {
        MerrowServiceWeakRef service;
        {
            std::lock_guard lock(m_mutex);
            const auto route = m_routes.find(raw);
            if (route == m_routes.end())
                continue;
            service = route->second.service;
        }
        // Released before the next service is looked at: the last reference may go here,
        // and the service's destructor removes its route.
        const std::shared_ptr<MerrowServiceImpl> live = service.Lock();
        if (!live || !live->GetInterestWatch().TakeStale())
            continue;
        std::optional<PathInterest> interest = live->GatherInterest();
        if (!interest)
            live->GetInterestWatch().MarkChanged(); // gathered again with the next indication
        install(raw, std::move(interest));
    }
}

void IndicationRoutes::install(const MerrowServiceImpl* service,
                               std::optional<PathInterest> interest) {
    std::lock_guard lock(m_mutex);
    const auto route = m_routes.find(service);
    if (route == m_routes.end())
        return;
    index(service, route->second, false);
    route->second.interest = std::move(interest);
    index(service, route->second, true);
}

void IndicationRoutes::index(const MerrowServiceImpl* service, const Route& route, bool add) {
    if (!route.interest) {
        placeIn(m_unknown, service, add);
        return;
    }
    const PathInterest& interest = *route.interest;
    if (interest.TakesEverything())
        placeIn(m_everything, service, add);
    if (interest.TakesEveryCreation())
        placeIn(m_everyCreation, service, add);
    if (interest.TakesPlainCreations())
        placeIn(m_plainCreations, service, add);
    for (const auto* hashes : {&interest.Walked(), &interest.Held()}) {
        for (std::size_t hash : *hashes)
            indexPath(hash, service, add);
    }
}

void IndicationRoutes::indexPath(std::size_t hash, const MerrowServiceImpl* service, bool add) {
    if (add) {
        placeIn(m_byPath[hash], service, true);
        return;
    }
    const auto services = m_byPath.find(hash);
    if (services == m_byPath.end())
        return;
    placeIn(services->second, service, false);
    if (services->second.empty())
        m_byPath.erase(services);
}

// A path both walked and held puts its service in once.
void IndicationRoutes::placeIn(Services& services, const MerrowServiceImpl* service, bool add) {
    const auto at = std::lower_bound(services.begin(), services.end(), service);
    const bool present = at != services.end() && *at == service;
    if (add && !present)
        services.insert(at, service);
    else if (!add && present)
        services.erase(at);
}

} // namespace Merrow::UserAgent
