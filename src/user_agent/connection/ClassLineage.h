#pragma once

#include "cim/value/CIMName.h"

#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace Merrow::UserAgent {

class UACIMClient;

// Which of the array's classes derive from which, as far as the cached lists need to know
// whether a new object can be one of their entries. Each class's descendants are asked for
// once per connection: an array does not change its classes while it runs.
//
// Threads: any. m_mutex guards the answers; it is never held during a request, so it sits
// below every other lock and nothing is locked inside it.
class ClassLineage {
public:
    // True when `className` is `ancestor` or derives from it; nothing when the array could
    // not tell (it refused the question). Other failures of the request are thrown.
    std::optional<bool> Derives(UACIMClient& client, const cim::CIMName& className,
                                const cim::CIMName& ancestor);

private:
    // An ancestor and its descendants; nothing when the array refused to name them.
    using Descendants = std::pair<cim::CIMName, std::optional<std::vector<cim::CIMName>>>;

    const Descendants* findLocked(const cim::CIMName& ancestor) const;

    std::mutex m_mutex;
    // A handful of result classes per array: a search beats any index.
    std::vector<Descendants> m_known;
};

} // namespace Merrow::UserAgent
