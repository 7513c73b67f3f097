#pragma once

#include <chrono>
#include <cstdint>

namespace Merrow::Trace {

class TraceAwareClass;

// Writes an entry record when a scope starts and an exit record with the elapsed time when it
// ends, and keeps the thread's nesting depth for indentation. Lives on the stack of the
// thread that made it.
class ScopeTracer {
public:
    ScopeTracer(bool enabled, const TraceAwareClass* object, const char* file, int32_t line,
                const char* function, const char* arguments, uint32_t verbosity,
                const char* category);
    ScopeTracer(const char* arguments, const char* file, int32_t line, const char* function);
    ~ScopeTracer();
    ScopeTracer(const ScopeTracer&) = delete;
    ScopeTracer& operator=(const ScopeTracer&) = delete;

    // Two accumulators printed with the exit record as "lw" and "cw" when non-zero.
    void addFirstAccumulator(uint32_t milliseconds) { m_firstAccumulatorMs += milliseconds; }
    void addSecondAccumulator(uint32_t milliseconds) { m_secondAccumulatorMs += milliseconds; }

private:
    void writeEntry();
    void writeExit();

    const TraceAwareClass* m_object;
    const char* m_file;
    int32_t m_line;
    const char* m_function;
    const char* m_arguments;
    uint32_t m_verbosity;
    const char* m_category;
    bool m_showClassName;
    bool m_logEntry;
    bool m_logExit;
    uint32_t m_firstAccumulatorMs = 0;
    uint32_t m_secondAccumulatorMs = 0;
    std::chrono::steady_clock::time_point m_start;
};

} // namespace Merrow::Trace
