#pragma once

#include "trace/TraceStreamSinkInterface.h"

#include <cstdint>
#include <string>

namespace Merrow::Trace {

// The process-wide current sink; statically the standard (text) sink.
TraceStreamSinkInterface* getCurrentTraceSink();
void setCurrentTraceSink(TraceStreamSinkInterface* sink);

// Chooses the sink at start-up: with native trace files the standard sink stays, otherwise
// the event-log sink is built with the given ceiling and category filter text and becomes
// current. Only streams created afterwards use it, so call it before anything traces.
TraceStreamSinkInterface* selectTraceSink(bool useNativeTraceFiles, uint32_t severityFilter,
                                          const std::string& categoryFilter);

} // namespace Merrow::Trace
