#include "user_agent/connection/ClassLineage.h"

#include "cim/value/CIMException.h"
#include "user_agent/connection/UACIMClient.h"

#include <algorithm>

namespace Merrow::UserAgent {

std::optional<bool> ClassLineage::Derives(UACIMClient& client, const cim::CIMName& className,
                                          const cim::CIMName& ancestor) {
    if (className == ancestor)
        return true;
    std::optional<std::vector<cim::CIMName>> descendants;
    bool asked = false;
    {
        std::lock_guard lock(m_mutex);
        if (const Descendants* known = findLocked(ancestor)) {
            descendants = known->second;
            asked = true;
        }
    }
    if (!asked) {
        try {
            descendants = client.enumerateClassNames(UACIMClient::kArrayNamespace, ancestor, true);
        } catch (const cim::CIMException&) {
            // Refused (not supported, an unknown class): asking again would be refused too.
        }
        std::lock_guard lock(m_mutex);
        if (!findLocked(ancestor))
            m_known.emplace_back(ancestor, descendants);
    }
    if (!descendants)
        return std::nullopt;
    return std::find(descendants->begin(), descendants->end(), className) != descendants->end();
}

const ClassLineage::Descendants* ClassLineage::findLocked(const cim::CIMName& ancestor) const {
    const auto found = std::find_if(m_known.begin(), m_known.end(),
                                    [&](const Descendants& known) { return known.first == ancestor; });
    return found == m_known.end() ? nullptr : &*found;
}

} // namespace Merrow::UserAgent
