#pragma once

// How many requests of each operation the simulator answered: intrinsic operations by
// their names ("GetInstance"), extrinsic methods as "InvokeMethod" and by the method name
// ("CreateVolume"). Requests to the control namespace are not counted, so a test can read
// the counters without changing them. Threads: any; m_mutex guards m_counts.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace Merrow::Sim {

class RequestCounters {
public:
    void count(std::string_view operation);
    std::uint64_t get(std::string_view operation) const;
    std::map<std::string, std::uint64_t> snapshot() const;
    void reset();

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::uint64_t, std::less<>> m_counts;
};

} // namespace Merrow::Sim
