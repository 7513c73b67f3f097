#include "TraceCapture.h"

#include "trace/StandardTraceStreamSinkClass.h"
#include "trace/TraceSinks.h"

#include <utility>

TraceCapture& TraceCapture::instance()
{
    static TraceCapture capture;
    return capture;
}

namespace {
const bool g_installed = (Merrow::Trace::setCurrentTraceSink(&TraceCapture::instance()), true);
}

bool TraceCapture::write(std::string_view file, int32_t line, std::string_view function,
                         std::string_view prefix, uint32_t verbosity, std::string_view category,
                         std::string_view message)
{
    auto& output = Merrow::Trace::StandardTraceStreamSinkClass::processSink();
    if (output.mayWrite(verbosity))
        output.write(file, line, function, prefix, verbosity, category, message);
    if (!m_enabled.load() || verbosity > kRecordedVerbosity)
        return true;
    std::lock_guard lock(m_mutex);
    m_records.push_back({std::string(category), std::string(message), verbosity,
                         std::this_thread::get_id(), std::string(prefix)});
    return true;
}

bool TraceCapture::mayWrite(uint32_t verbosity) const
{
    return (m_enabled.load() && verbosity <= kRecordedVerbosity) ||
           Merrow::Trace::StandardTraceStreamSinkClass::processSink().mayWrite(verbosity);
}

void TraceCapture::clear()
{
    std::lock_guard lock(m_mutex);
    m_records.clear();
}

std::vector<TraceCapture::Record> TraceCapture::take()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_records, {});
}

std::vector<std::string> TraceCapture::takeMessages(std::string_view category)
{
    std::vector<std::string> messages;
    for (Record& record : take()) {
        if (record.category == category)
            messages.push_back(std::move(record.message));
    }
    return messages;
}

std::string TraceCapture::recentOfOthers(std::thread::id thread, uint32_t maxVerbosity,
                                         std::size_t count)
{
    std::lock_guard lock(m_mutex);
    std::vector<const Record*> picked;
    for (auto it = m_records.rbegin(); it != m_records.rend() && picked.size() < count; ++it) {
        if (it->thread != thread && it->verbosity <= maxVerbosity)
            picked.push_back(&*it);
    }
    std::string text;
    for (auto it = picked.rbegin(); it != picked.rend(); ++it)
        text += (*it)->prefix + (*it)->message + "\n";
    return text;
}
