#pragma once

#include "trace/TraceStreamSinkInterface.h"

#include <atomic>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// Records everything it is given, so tests can look at what the streams produced.
class CapturingSink : public Merrow::Trace::TraceStreamSinkInterface {
public:
    struct Record {
        std::string file, function, prefix, category, message;
        int32_t line;
        uint32_t verbosity;
    };

    bool write(std::string_view file, int32_t line, std::string_view function,
               std::string_view prefix, uint32_t verbosity, std::string_view category,
               std::string_view message) override {
        std::lock_guard lock(m_mutex);
        m_records.push_back({std::string(file), std::string(function), std::string(prefix),
                             std::string(category), std::string(message), line, verbosity});
        return true;
    }
    bool mayWrite(uint32_t verbosity) const override { return verbosity <= m_ceiling.load(); }

    void setCeiling(uint32_t ceiling) { m_ceiling = ceiling; }
    std::vector<Record> take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_records, {});
    }

private:
    std::atomic<uint32_t> m_ceiling{5};
    std::mutex m_mutex;
    std::vector<Record> m_records;
};
