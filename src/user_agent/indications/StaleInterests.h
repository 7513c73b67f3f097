#pragma once

#include <mutex>
#include <vector>

namespace Merrow::UserAgent {

class MerrowServiceImpl;

// The services whose interest (PathInterest) may have changed since the router last gathered
// it, in the order their containers said so. A service may appear more than once; the router
// gathers it once (InterestWatch::TakeStale).
//
// Threads: Push on any thread, with container locks held (m_mutex is a leaf lock); TakeAll
// on the router's thread. Shared by the router and the services' watches, which may outlive
// either.
class StaleInterests {
public:
    void Push(const MerrowServiceImpl* service);
    std::vector<const MerrowServiceImpl*> TakeAll();

private:
    std::mutex m_mutex; // guards m_services
    std::vector<const MerrowServiceImpl*> m_services;
};

} // namespace Merrow::UserAgent
