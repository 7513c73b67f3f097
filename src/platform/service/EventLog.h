// The stand-in for the event log: syslog with the ident "OrvVDS", the event type mapped to
// the syslog priority as the trace facility's event-log sink does it. For the program's
// own events (service start and stop, start-up failures); trace records reach syslog
// through the trace facility.
#pragma once

#include "platform/com/WinTypes.h"

#include <functional>
#include <string_view>

constexpr WORD EVENTLOG_ERROR_TYPE = 0x0001;
constexpr WORD EVENTLOG_WARNING_TYPE = 0x0002;
constexpr WORD EVENTLOG_INFORMATION_TYPE = 0x0004;

namespace orv::platform {

class EventLog {
public:
    using Observer = std::function<void(WORD eventType, std::string_view message)>;

    // Thread-safe.
    static void report(WORD eventType, std::string_view message);

    // Also hands every event to `observer` (an empty one ends that), for tests and for a
    // front end that shows the server's events. The observer runs under the log's lock.
    static void setObserver(Observer observer);
};

}  // namespace orv::platform
