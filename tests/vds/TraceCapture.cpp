#include "TraceCapture.h"

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

bool TraceCapture::write(std::string_view, int32_t, std::string_view, std::string_view,
                         uint32_t verbosity, std::string_view category, std::string_view message)
{
    std::lock_guard lock(m_mutex);
    m_records.push_back({std::string(category), std::string(message), verbosity,
                         std::this_thread::get_id()});
    return true;
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
