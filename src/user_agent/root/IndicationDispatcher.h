#pragma once

#include <chrono>

namespace Merrow::UserAgent {

class MerrowUserAgentImpl;

// The body of the dispatcher thread: takes received indications from the root's queue and
// routes each to the connections of its array, where services update themselves. All
// routing and any array access that it causes happen on this thread, never on the
// listener's.
class IndicationDispatcher {
public:
    IndicationDispatcher(MerrowUserAgentImpl& root, std::chrono::milliseconds waitLimit);

    // Runs until the root is stopped; an indication whose handling fails is traced and
    // dropped.
    void operator()();

private:
    MerrowUserAgentImpl* m_root;
    std::chrono::milliseconds m_waitLimit;
};

} // namespace Merrow::UserAgent
