// Every trace record of this test program lands here, so tests can check what the VDS
// framework reported. The sink is installed before main runs: trace streams take the sink
// that is current when the first of them is made. Records are also passed on to the trace
// output the environment names (MWTRACE_OUTPUT_FILE), so a failing test can be traced.
#pragma once

#include "trace/TraceStreamSinkInterface.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TraceCapture : public Merrow::Trace::TraceStreamSinkInterface {
public:
    struct Record {
        std::string category;
        std::string message;
        uint32_t verbosity;
        std::thread::id thread;
        std::string prefix; // time, thread, source line, verbosity and category
    };

    static TraceCapture& instance();

    bool write(std::string_view file, int32_t line, std::string_view function,
               std::string_view prefix, uint32_t verbosity, std::string_view category,
               std::string_view message) override;
    bool mayWrite(uint32_t verbosity) const override;
    // Entry/exit records are the most detailed ones a test looks at.
    static constexpr uint32_t kRecordedVerbosity = 5;

    // Recording can be paused for tests that would otherwise collect millions of records.
    void enable(bool enabled) { m_enabled = enabled; }
    void clear();
    std::vector<Record> take();
    // Messages of one category, in the order they were written.
    std::vector<std::string> takeMessages(std::string_view category);
    // The last `count` records up to `maxVerbosity` that `thread` did not write, a line
    // each, for a failing test to show what the threads behind it were doing.
    std::string recentOfOthers(std::thread::id thread, uint32_t maxVerbosity, std::size_t count);

private:
    std::atomic<bool> m_enabled{true};
    std::mutex m_mutex; // guards m_records
    std::vector<Record> m_records;
};

// Resets the capture before and after a test.
class TraceCaptureScope {
public:
    TraceCaptureScope() { TraceCapture::instance().clear(); }
    ~TraceCaptureScope()
    {
        TraceCapture::instance().enable(true);
        TraceCapture::instance().clear();
    }
};
