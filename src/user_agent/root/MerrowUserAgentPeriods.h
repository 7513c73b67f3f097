#pragma once

#include <chrono>

namespace Merrow::UserAgent {

// The periods of the library root's threads. The defaults are the product's; tests shorten
// them so that nothing waits for ten seconds.
struct MerrowUserAgentPeriods {
    // A connection silent for this long is probed.
    std::chrono::milliseconds keepAliveIdle{10000};
    // How often the keep-alive thread looks.
    std::chrono::milliseconds keepAlivePoll{1000};
    // Longest wait of the dispatcher for an indication before it looks at the stop flag.
    std::chrono::milliseconds dispatcherWait{1000};
};

} // namespace Merrow::UserAgent
