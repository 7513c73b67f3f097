#include "trace/TraceSinks.h"

#include "trace/StandardTraceStreamSinkClass.h"
#include "trace/Trace.h"
#include "trace/WindowsTraceStreamSinkClass.h"

#include <atomic>
#include <optional>

namespace Merrow::Trace {

namespace {

std::atomic<TraceStreamSinkInterface*>& currentSink() {
    static std::atomic<TraceStreamSinkInterface*> sink{&StandardTraceStreamSinkClass::processSink()};
    return sink;
}

} // namespace

TraceStreamSinkInterface* getCurrentTraceSink() { return currentSink().load(); }

void setCurrentTraceSink(TraceStreamSinkInterface* sink) { currentSink().store(sink); }

TraceStreamSinkInterface* selectTraceSink(bool useNativeTraceFiles, uint32_t severityFilter,
                                          const std::string& categoryFilter) {
    if (useNativeTraceFiles)
        return getCurrentTraceSink();
    static std::optional<WindowsTraceStreamSinkClass> eventLogSink;
    if (!eventLogSink)
        eventLogSink.emplace(severityFilter, categoryFilter);
    setCurrentTraceSink(&*eventLogSink);
    if (!eventLogSink->constructionProblem().empty())
        MWTRACE(TV_WARNING, TC_ERROR_WARNING) << eventLogSink->constructionProblem() << MWENDREC;
    return &*eventLogSink;
}

} // namespace Merrow::Trace
