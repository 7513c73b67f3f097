#include "trace/ScopeTracer.h"

#include "trace/TraceAwareClass.h"
#include "trace/TraceCategories.h"
#include "trace/TraceFormat.h"
#include "trace/TraceStreamClass.h"

#include <cstdio>
#include <string>

namespace Merrow::Trace {

namespace {

std::string_view methodName(const char* function) {
    if (!function)
        return "NoMethod";
    const std::string_view qualified = TraceFormat::qualifiedFunctionName(function);
    const size_t cut = qualified.rfind(':');
    return cut == std::string_view::npos ? qualified : qualified.substr(cut + 1);
}

// Category of an entry or exit record: the scope's category plus ".Entry" or ".Exit". Kept
// per thread so building it allocates nothing once warm.
std::string_view recordCategory(const char* category, std::string_view suffix) {
    thread_local std::string text;
    text.assign(category ? category : TC_INFO_ENTRY_EXIT);
    text.append(suffix);
    return text;
}

void appendAccumulator(std::string& text, const char* label, uint32_t milliseconds) {
    if (milliseconds == 0)
        return;
    char value[48];
    std::snprintf(value, sizeof value, " %s:%.3fs", label, milliseconds / 1000.0);
    text += value;
}

} // namespace

ScopeTracer::ScopeTracer(bool enabled, const TraceAwareClass* object, const char* file,
                         int32_t line, const char* function, const char* arguments,
                         uint32_t verbosity, const char* category)
    : m_object(object), m_file(file), m_line(line), m_function(function),
      m_arguments(arguments ? arguments : ""), m_verbosity(verbosity), m_category(category),
      m_showClassName(true), m_logEntry(enabled), m_logExit(enabled) {
    TraceStreamClass& stream = getThreadTraceStream();
    if (!stream.wants(m_verbosity)) {
        // Nothing of this scope can reach an output: skip the clock and the records.
        m_logEntry = m_logExit = false;
    } else {
        m_start = std::chrono::steady_clock::now();
        if (m_logEntry)
            writeEntry();
    }
    stream.enterScope();
}

ScopeTracer::ScopeTracer(const char* arguments, const char* file, int32_t line,
                         const char* function)
    : ScopeTracer(true, nullptr, file, line, function, arguments, TV_DETAIL, TC_INFO_ENTRY_EXIT) {}

ScopeTracer::~ScopeTracer() {
    getThreadTraceStream().leaveScope();
    if (!m_logExit)
        return;
    try {
        writeExit();
    } catch (...) {
        // A destructor must not throw; the exit record is simply lost.
    }
}

void ScopeTracer::writeEntry() {
    TraceStreamClass& stream = getThreadTraceStream();
    stream.beginRecord(m_file, m_line, m_function, m_verbosity,
                       recordCategory(m_category, ".Entry"));
    stream << ">ENTERING ";
    if (m_object && m_showClassName)
        stream << m_object->className() << "::";
    stream << methodName(m_function) << " " << m_arguments;
    if (m_object) {
        std::string description;
        m_object->description(description);
        stream << " " << description;
    }
    stream << MWENDREC;
}

void ScopeTracer::writeExit() {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - m_start)
                             .count();
    char elapsedText[48];
    std::snprintf(elapsedText, sizeof elapsedText, "%ld.%3.3lds", static_cast<long>(elapsed / 1000),
                  static_cast<long>(elapsed % 1000));
    std::string timing = elapsedText;
    appendAccumulator(timing, "lw", m_firstAccumulatorMs);
    appendAccumulator(timing, "cw", m_secondAccumulatorMs);

    TraceStreamClass& stream = getThreadTraceStream();
    stream.beginRecord(m_file, m_line, m_function, m_verbosity,
                       recordCategory(m_category, ".Exit"));
    stream << "<EXITING(" << timing << ") " << methodName(m_function) << MWENDREC;
}

} // namespace Merrow::Trace
