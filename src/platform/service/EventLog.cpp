#include "platform/service/EventLog.h"

#include "trace/WindowsTraceStreamSinkClass.h"

#include <syslog.h>

#include <mutex>

namespace orv::platform {

void EventLog::report(WORD eventType, std::string_view message)
{
    using Sink = Merrow::Trace::WindowsTraceStreamSinkClass;
    static std::once_flag opened;
    std::call_once(opened, [] { ::openlog(Sink::EVENT_SOURCE, LOG_PID, LOG_USER); });
    ::syslog(Sink::syslogPriorityFor(eventType), "%.*s", static_cast<int>(message.size()),
             message.data());
}

}  // namespace orv::platform
