#include "platform/service/EventLog.h"

#include "trace/WindowsTraceStreamSinkClass.h"

#include <syslog.h>

#include <mutex>

namespace orv::platform {
namespace {

std::mutex g_observerMutex; // guards g_observer
EventLog::Observer g_observer;

}  // namespace

void EventLog::report(WORD eventType, std::string_view message)
{
    using Sink = Merrow::Trace::WindowsTraceStreamSinkClass;
    static std::once_flag opened;
    std::call_once(opened, [] { ::openlog(Sink::EVENT_SOURCE, LOG_PID, LOG_USER); });
    ::syslog(Sink::syslogPriorityFor(eventType), "%.*s", static_cast<int>(message.size()),
             message.data());
    std::lock_guard lock(g_observerMutex);
    if (g_observer)
        g_observer(eventType, message);
}

void EventLog::setObserver(Observer observer)
{
    std::lock_guard lock(g_observerMutex);
    g_observer = std::move(observer);
}

}  // namespace orv::platform
