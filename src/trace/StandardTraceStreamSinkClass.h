#pragma once

#include "trace/TraceStreamSinkClass.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace Merrow::Trace {

// Text sink: a file, standard output or standard error. With an empty output name it writes
// nothing at all, which is the default when MWTRACE_OUTPUT_FILE is not set.
class StandardTraceStreamSinkClass : public TraceStreamSinkClass {
public:
    static constexpr uint32_t DEFAULT_CEILING = 5;

    StandardTraceStreamSinkClass(std::string outputName, uint32_t ceiling);
    ~StandardTraceStreamSinkClass() override;
    StandardTraceStreamSinkClass(const StandardTraceStreamSinkClass&) = delete;
    StandardTraceStreamSinkClass& operator=(const StandardTraceStreamSinkClass&) = delete;

    // Reads MWTRACE_OUTPUT_FILE, MWTRACE_VERBOSITY and MWTRACE_CATEGORY (also spelt
    // MWTRACE_CATAGORY; the lists of both are taken).
    static StandardTraceStreamSinkClass& processSink();
    static std::string outputNameFromEnvironment();
    // The category filter list of MWTRACE_CATEGORY and MWTRACE_CATAGORY together.
    static std::string categoryFilterFromEnvironment();
    static uint32_t ceilingFromEnvironment();

    // A value wrapped in double quotes loses them, and inside a backslash takes the next
    // character literally; anything else is returned as it is.
    static std::string unquoteEnvironmentValue(std::string_view value);

    bool write(std::string_view file, int32_t line, std::string_view function,
               std::string_view prefix, uint32_t verbosity, std::string_view category,
               std::string_view message) override;
    bool mayWrite(uint32_t verbosity) const override {
        return verbosity <= m_ceiling && !m_outputName.empty();
    }

    uint32_t ceiling() const { return m_ceiling; }
    const std::string& outputName() const { return m_outputName; }

private:
    bool openOutputLocked();

    const uint32_t m_ceiling;
    const std::string m_outputName;
    std::mutex m_mutex; // guards m_output and m_ownsOutput; held for each whole write
    FILE* m_output = nullptr;
    bool m_ownsOutput = false;
};

} // namespace Merrow::Trace
