// Cost of one entry/exit scope tracer pair, with every record filtered out by the ceiling and
// with records written to a file.
#include "trace/StandardTraceStreamSinkClass.h"
#include "trace/Trace.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace Merrow::Trace;

namespace {

// The thread streams keep the sink they were created with, so the benchmarks switch what
// this forwarding sink hands records to.
class SwitchableSink : public TraceStreamSinkInterface {
public:
    bool write(std::string_view file, int32_t line, std::string_view function,
               std::string_view prefix, uint32_t verbosity, std::string_view category,
               std::string_view message) override {
        return m_target->write(file, line, function, prefix, verbosity, category, message);
    }
    bool mayWrite(uint32_t verbosity) const override { return m_target->mayWrite(verbosity); }
    void use(TraceStreamSinkInterface* target) { m_target = target; }

private:
    TraceStreamSinkInterface* m_target = nullptr;
};

SwitchableSink g_sink;
const bool g_installed = (setCurrentTraceSink(&g_sink), true);

const std::string g_tracePath = "/tmp/orv-trace-bench-" + std::to_string(getpid()) + ".log";

__attribute__((noinline)) void tracedFunction(benchmark::State&) { MWSCOPE("count=1"); }

void BM_ScopePairFilteredOut(benchmark::State& state) {
    StandardTraceStreamSinkClass quiet(g_tracePath, 4);
    g_sink.use(&quiet);
    for (auto _ : state)
        tracedFunction(state);
}
BENCHMARK(BM_ScopePairFilteredOut);

void BM_ScopePairToFile(benchmark::State& state) {
    StandardTraceStreamSinkClass file(g_tracePath, 5);
    g_sink.use(&file);
    for (auto _ : state)
        tracedFunction(state);
    std::remove(g_tracePath.c_str());
}
BENCHMARK(BM_ScopePairToFile);

void BM_RecordFilteredOut(benchmark::State& state) {
    StandardTraceStreamSinkClass quiet(g_tracePath, 4);
    g_sink.use(&quiet);
    int value = 0;
    for (auto _ : state)
        MWTRACE(5, TC_INFO_DEBUG) << "value " << ++value << MWENDREC;
    benchmark::DoNotOptimize(value);
}
BENCHMARK(BM_RecordFilteredOut);

} // namespace

BENCHMARK_MAIN();
