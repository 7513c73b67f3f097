#pragma once

#include "CorvaneOutput.h"

#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/indications/MerrowService.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

namespace corvane {

using Merrow::UserAgent::MerrowReturnValue;
using Merrow::UserAgent::MerrowService;

// The watch command: one line (or one JSON object) per service indication the array's
// changes cause, until `stop` is set (SIGINT, SIGTERM).
//
// Threads: the library's dispatcher thread queues each indication under m_mutex; the
// command's own thread takes them off and prints, so output never interleaves.
class ChangeWatcher {
public:
    ChangeWatcher(CorvaneOutput& output, const std::atomic<bool>& stop) : m_output(output), m_stop(stop) {}

    // `connection` carries the callback; the system and the lists under it are read once so
    // that their services follow the array's indications for as long as the watch runs.
    MerrowReturnValue run(MerrowService connection, const MerrowService& system);

private:
    void keepWatching(const MerrowService& system);
    void print(const nlohmann::json& change);

    CorvaneOutput& m_output;
    const std::atomic<bool>& m_stop;
    std::vector<MerrowService> m_watched;
    std::mutex m_mutex; // guards m_changes
    std::condition_variable m_changed;
    std::deque<nlohmann::json> m_changes;
};

} // namespace corvane
