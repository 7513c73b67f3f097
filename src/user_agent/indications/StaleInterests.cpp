#include "user_agent/indications/StaleInterests.h"

#include <utility>

namespace Merrow::UserAgent {

void StaleInterests::Push(const MerrowServiceImpl* service) {
    std::lock_guard lock(m_mutex);
    m_services.push_back(service);
}

std::vector<const MerrowServiceImpl*> StaleInterests::TakeAll() {
    std::vector<const MerrowServiceImpl*> taken;
    std::lock_guard lock(m_mutex);
    taken.swap(m_services);
    return taken;
}

} // namespace Merrow::UserAgent
