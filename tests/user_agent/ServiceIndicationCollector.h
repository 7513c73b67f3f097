#pragma once

// Takes service indications from a root until one matches, keeping everything that came
// before it, so that a test can check what arrived in between without waiting on a clock.

#include "user_agent/root/MerrowUserAgent.h"

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace Merrow::UserAgent::Testing {

// Long enough for any machine under load; only reached when a test is about to fail.
inline constexpr std::uint32_t kPatienceMs = 20000;

// The root queues service indications only once somebody has waited for one. A test that
// makes a change and then waits for its effect calls this before the change, so that an
// indication the change raised before the wait began is not lost; it takes whatever is
// queued already.
inline void startCollecting(MerrowUserAgent& root) {
    ServiceIndication queued;
    while (root.GetNextServiceIndication(queued, 0)) {
    }
}

// Everything taken up to and including the first indication that `matches`; empty when none
// came within the patience limit.
inline std::vector<ServiceIndication>
takeUntil(MerrowUserAgent& root, const std::function<bool(const ServiceIndication&)>& matches) {
    std::vector<ServiceIndication> taken;
    ServiceIndication indication;
    while (root.GetNextServiceIndication(indication, kPatienceMs)) {
        taken.push_back(indication);
        if (matches(indication))
            return taken;
    }
    return {};
}

// Repeats `probe` until it is true or the patience runs out.
inline bool eventually(const std::function<bool()>& probe) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
    while (!probe()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace Merrow::UserAgent::Testing
