#pragma once

// The faults a test can switch on in a running simulator: refuse log-ins, fail the next N
// calls of an operation or method with a given code, delay every answer, stop answering
// (hang), close the connection of the next N requests instead of answering. Dropping
// every open connection, and taking the array down or bringing it back (PowerCycle), are
// actions of the server (see CimServer) and go through the callbacks set here.
//
// Threads: any. m_mutex guards every member; m_wake is signalled when the hang is lifted,
// the delay changes or shutdown() is called, so request threads that wait here are
// released promptly. No other lock is taken while m_mutex is held.

#include "sim/PowerCycle.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace Merrow::Sim {

class FaultControl {
public:
    void setRefuseLogins(bool refuse);
    bool refuseLogins() const;

    // The next `count` requests of `operation` (an intrinsic operation such as
    // "GetInstance", or an extrinsic method name such as "CreateVolume"; case does not
    // matter) fail with `code`: a CIM status code for an operation, a method result for a
    // method. A count of 0 clears the fault.
    void failNext(const std::string& operation, std::uint32_t count, std::uint32_t code);
    // Takes one armed failure for the operation, if any.
    std::optional<std::uint32_t> takeFailure(std::string_view operation);

    void setDelay(std::chrono::milliseconds delay);
    std::chrono::milliseconds delay() const;

    void setHang(bool hang);
    bool hanging() const;

    // Blocks the calling request thread for the delay and while the simulator hangs.
    // Returns early when shutdown() is called.
    void holdRequest();

    void setDropHandler(std::function<void()> handler);
    // Closes every open connection now (requests in flight get no answer).
    void dropConnections();
    void setPowerHandler(std::function<void(PowerCycle)> handler);
    void powerCycle(PowerCycle cycle);
    // The next `count` requests get no answer: their connections are closed instead.
    void dropNextRequests(std::uint32_t count);
    // Takes one armed drop, if any.
    bool takeDrop();

    // Releases the requests waiting now (the hang stays for later requests).
    void releaseWaiting();
    // Releases every waiting request for good; later holdRequest() calls return at once.
    void shutdown();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_refuseLogins = false;
    bool m_hang = false;
    bool m_shutdown = false;
    std::uint64_t m_generation = 0;
    std::uint32_t m_drops = 0;
    std::chrono::milliseconds m_delay{0};
    // Lower-case operation name -> (remaining count, code).
    std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> m_failures;
    std::function<void()> m_dropHandler;
    std::function<void(PowerCycle)> m_powerHandler;
};

} // namespace Merrow::Sim
