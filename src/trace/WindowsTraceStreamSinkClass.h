#pragma once

#include "trace/TraceStreamSinkClass.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace Merrow::Trace {

// The event-log sink. On our platform the event log is syslog with the ident "OrvVDS"; the
// event type becomes the syslog priority and the category and event id go into the message.
class WindowsTraceStreamSinkClass : public TraceStreamSinkClass {
public:
    static constexpr const char* EVENT_SOURCE = "OrvVDS";
    static constexpr uint32_t EVENT_ID = 1001;
    static constexpr uint16_t EVENT_TYPE_ERROR = 1;
    static constexpr uint16_t EVENT_TYPE_WARNING = 2;
    static constexpr uint16_t EVENT_TYPE_INFORMATION = 4;
    static constexpr uint16_t DEFAULT_EVENT_CATEGORY = 10;
    static constexpr size_t MAX_INSERTION_STRING = 259;

    // Registers the event source (through the registrar, when one is set) and opens syslog.
    WindowsTraceStreamSinkClass(uint32_t ceiling, std::string categoryFilter);
    ~WindowsTraceStreamSinkClass() override;
    WindowsTraceStreamSinkClass(const WindowsTraceStreamSinkClass&) = delete;
    WindowsTraceStreamSinkClass& operator=(const WindowsTraceStreamSinkClass&) = delete;

    bool write(std::string_view file, int32_t line, std::string_view function,
               std::string_view prefix, uint32_t verbosity, std::string_view category,
               std::string_view message) override;
    bool mayWrite(uint32_t verbosity) const override { return verbosity <= m_ceiling; }

    static uint16_t eventTypeFor(uint32_t verbosity);
    static uint16_t eventCategoryFor(std::string_view category);
    static int syslogPriorityFor(uint16_t eventType);
    // The first insertion string: "<function>, File: <file>, Line <line>" and two line ends,
    // cut to MAX_INSERTION_STRING characters.
    static std::string locationString(std::string_view function, std::string_view file,
                                      int32_t line);

    uint32_t ceiling() const { return m_ceiling; }
    const std::string& categoryFilter() const { return m_categoryFilter; }
    // Set when the category filter text could not be taken over; reported once the sink is
    // in use, since the trace streams may not exist yet while it is being built.
    const std::string& constructionProblem() const { return m_constructionProblem; }

private:
    const uint32_t m_ceiling;
    std::string m_categoryFilter; // stored for diagnostics; records are not filtered by it
    std::string m_constructionProblem;
    std::mutex m_mutex; // serialises writes, as the event log's critical section did
};

// The registry side of event-source registration lives in the platform layer; it hands its
// routine over here so that every construction of the event-log sink runs it.
void setEventSourceRegistrar(std::function<void()> registrar);

} // namespace Merrow::Trace
