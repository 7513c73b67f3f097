#pragma once

#include <chrono>
#include <cstdint>

namespace Merrow::UserAgent {

class CorvaneConnection;
class MerrowUserAgentImpl;

// The body of the keep-alive thread: probes every connected array that has been silent for
// the idle period, so that a dead array is noticed (the probe's failure handling reports the
// lost connection). A connection that exchanges data at least once per idle period is never
// probed; a silent one is probed about one idle period after its last exchange, give or take
// one poll interval.
class ConnectionKeepAlive {
public:
    static constexpr std::uint32_t kConnectionLockLimitMs = 1000;

    ConnectionKeepAlive(MerrowUserAgentImpl& root, std::chrono::milliseconds idlePeriod,
                        std::chrono::milliseconds pollInterval);

    // Runs until the root is stopped.
    void operator()();

private:
    using Clock = std::chrono::steady_clock;

    void checkConnections(Clock::time_point& nextCheck);
    void checkConnection(const CorvaneConnection& connection, Clock::time_point& nextCheck);

    MerrowUserAgentImpl* m_root;
    std::chrono::milliseconds m_idlePeriod;
    std::chrono::milliseconds m_pollInterval;
};

} // namespace Merrow::UserAgent
