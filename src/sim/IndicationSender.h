#pragma once

// Delivers indications to the handlers' destinations from a thread of its own, so a slow
// or dead listener never holds up request handling.
//
// post() only queues (bounded: when the queue is full the new indication is dropped and
// counted). The sender keeps one keep-alive connection per destination. A destination
// that cannot be reached within the time-out, or that answers with an error, is marked
// unreachable for a while; indications for it are dropped meanwhile, so one dead
// listener costs one time-out and not one per indication.
//
// Threads: post() and the counters from any thread; start() and stop() from the owner.
// m_mutex guards m_queue and m_stopping; the connections belong to the sender thread.

#include "sim/IndicationSink.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace cim {
class HttpClientConnection;
}

namespace Merrow::Sim {

class IndicationSender : public IndicationSink {
public:
    struct Options {
        std::size_t capacity = 10000;
        std::chrono::milliseconds timeout{2000};
        std::chrono::milliseconds unreachableFor{5000};
        // The array's own address, which its indications leave from (listeners check it);
        // empty lets the system choose.
        std::string sourceAddress;
    };

    explicit IndicationSender(Options options);
    ~IndicationSender();
    IndicationSender(const IndicationSender&) = delete;
    IndicationSender& operator=(const IndicationSender&) = delete;

    void start();
    // Stops the thread; indications still queued are dropped.
    void stop();

    void post(IndicationDelivery delivery) override;

    std::uint64_t delivered() const { return m_delivered; }
    std::uint64_t dropped() const { return m_dropped; }
    // Blocks until the queue is empty and nothing is being sent, or the time runs out.
    bool waitIdle(std::chrono::milliseconds limit);

private:
    void run();
    bool send(const IndicationDelivery& delivery);

    const Options m_options;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<IndicationDelivery> m_queue;
    bool m_stopping = false;
    bool m_busy = false;
    std::thread m_thread;

    // Sender thread only.
    std::map<std::string, std::unique_ptr<cim::HttpClientConnection>> m_connections;
    std::map<std::string, std::chrono::steady_clock::time_point> m_unreachableUntil;
    std::uint64_t m_nextMessageId = 1;

    std::atomic<std::uint64_t> m_delivered{0};
    std::atomic<std::uint64_t> m_dropped{0};
};

} // namespace Merrow::Sim
