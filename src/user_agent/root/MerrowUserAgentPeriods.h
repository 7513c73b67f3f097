#pragma once

#include <chrono>
#include <cstddef>

namespace Merrow::UserAgent {

// The periods of the library root's threads and the bound of its indication queue. The
// defaults are the product's; tests shorten them so that nothing waits for ten seconds.
struct MerrowUserAgentPeriods {
    // A connection silent for this long is probed.
    std::chrono::milliseconds keepAliveIdle{10000};
    // How often the keep-alive thread looks.
    std::chrono::milliseconds keepAlivePoll{1000};
    // Longest wait of the dispatcher for an indication before it looks at the stop flag.
    std::chrono::milliseconds dispatcherWait{1000};
    // Most indications waiting for the dispatcher. Arrays that change faster than their
    // indications are handled would otherwise grow the queue without end; past the bound an
    // array's indications are dropped until its services have re-read it (0: every
    // indication only makes its array's services re-read it).
    std::size_t queuedIndicationLimit = 4096;
};

} // namespace Merrow::UserAgent
