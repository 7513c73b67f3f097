#include "trace/TraceStreamClass.h"

#include "trace/TraceCategories.h"
#include "trace/TraceFormat.h"
#include "trace/TraceSinks.h"

#include <memory>
#include <mutex>

namespace Merrow::Trace {

TraceStreamClass::ReusableBuffer::int_type TraceStreamClass::ReusableBuffer::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        m_text.push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

std::streamsize TraceStreamClass::ReusableBuffer::xsputn(const char* data, std::streamsize count) {
    m_text.append(data, static_cast<size_t>(count));
    return count;
}

TraceStreamClass::TraceStreamClass(TraceStreamSinkInterface* sink)
    : m_sink(sink), m_defaultCategory(TC_INFO_OTHER), m_defaultVerbosity(TV_DETAIL),
      m_currentCategory(TC_UNKNOWN), m_currentVerbosity(TV_DETAIL), m_messageStream(&m_messageBuffer) {}

TraceStreamClass& TraceStreamClass::beginRecord(const char* file, int32_t line,
                                                const char* function, uint32_t verbosity,
                                                const char* category) {
    return beginRecord(file, line, function, verbosity,
                       category ? std::string_view(category) : std::string_view("UNKNOWN"));
}

TraceStreamClass& TraceStreamClass::beginRecord(const char* file, int32_t line,
                                                const char* function, uint32_t verbosity,
                                                std::string_view category) {
    const std::string_view fullFile = file ? file : "";
    m_file = TraceFormat::recordFileName(fullFile);
    m_function = TraceFormat::afterLastColon(
        TraceFormat::qualifiedFunctionName(function ? function : ""));
    m_line = line;
    m_currentVerbosity = verbosity;
    m_currentCategory.assign(category);

    m_messageBuffer.clear();
    m_prefix.clear();
    TraceFormat::appendTimestamp(m_prefix);
    m_prefix += ' ';
    TraceFormat::appendLocation(m_prefix, fullFile, line);
    m_prefix += ' ';
    TraceFormat::appendHeader(m_prefix, verbosity, m_currentCategory);
    m_prefix += ' ';
    TraceFormat::appendIndentation(m_prefix, m_depth);
    return *this;
}

void TraceStreamClass::endRecord(TraceTerminator terminator) {
    if (terminator.kind != 0 && terminator.kind != 1)
        return;
    if (m_sink) {
        m_sink->write(m_file, m_line, m_function, m_prefix, m_currentVerbosity,
                      m_currentCategory, m_messageBuffer.text());
    }
    m_messageBuffer.clear();
    if (terminator.kind == 0) {
        m_prefix.clear();
        m_currentCategory.assign(m_defaultCategory);
        m_currentVerbosity = m_defaultVerbosity;
    }
}

namespace {

std::mutex g_streamCreationMutex; // guards creation of thread streams and the prototype

TraceStreamSinkInterface* prototypeSink() {
    // The prototype takes the sink once: a later change of the current sink reaches no
    // stream, existing or future.
    static TraceStreamSinkInterface* const sink = getCurrentTraceSink();
    return sink;
}

} // namespace

TraceStreamClass& getThreadTraceStream() {
    thread_local std::unique_ptr<TraceStreamClass> stream;
    if (!stream) {
        std::lock_guard lock(g_streamCreationMutex);
        stream = std::make_unique<TraceStreamClass>(prototypeSink());
    }
    return *stream;
}

} // namespace Merrow::Trace
