#include "trace/WindowsTraceStreamSinkClass.h"

#include <array>
#include <cstdio>
#include <regex.h>
#include <syslog.h>
#include <utility>

namespace Merrow::Trace {

namespace {

std::mutex g_registrarMutex; // guards g_registrar
std::function<void()> g_registrar;

void runEventSourceRegistrar() {
    std::function<void()> registrar;
    {
        std::lock_guard lock(g_registrarMutex);
        registrar = g_registrar;
    }
    if (registrar)
        registrar();
}

std::string_view cut(std::string_view text) {
    return text.substr(0, WindowsTraceStreamSinkClass::MAX_INSERTION_STRING);
}

} // namespace

void setEventSourceRegistrar(std::function<void()> registrar) {
    std::lock_guard lock(g_registrarMutex);
    g_registrar = std::move(registrar);
}

WindowsTraceStreamSinkClass::WindowsTraceStreamSinkClass(uint32_t ceiling,
                                                         std::string categoryFilter)
    : m_ceiling(ceiling) {
    runEventSourceRegistrar();
    openlog(EVENT_SOURCE, LOG_PID, LOG_USER);
    // The filter text is a regular expression; it is checked here and kept for diagnostics.
    regex_t compiled;
    const int status = regcomp(&compiled, categoryFilter.c_str(), REG_EXTENDED | REG_NOSUB);
    if (status == 0) {
        regfree(&compiled);
        m_categoryFilter = std::move(categoryFilter);
        return;
    }
    char reason[128];
    regerror(status, &compiled, reason, sizeof reason);
    m_constructionProblem = "boost::regex throws exception on '" + categoryFilter + "': " + reason;
}

WindowsTraceStreamSinkClass::~WindowsTraceStreamSinkClass() { closelog(); }

uint16_t WindowsTraceStreamSinkClass::eventTypeFor(uint32_t verbosity) {
    if (verbosity == 1 || verbosity == 2)
        return EVENT_TYPE_ERROR;
    if (verbosity == 3)
        return EVENT_TYPE_WARNING;
    return EVENT_TYPE_INFORMATION;
}

uint16_t WindowsTraceStreamSinkClass::eventCategoryFor(std::string_view category) {
    // Later rows win: "TC.VDS.PortalGroup" contains "TC.VDS.Portal" and so lands in 8.
    static constexpr std::array<std::pair<std::string_view, uint16_t>, 9> table{{
        {"TC.VDS.GetObject", 1},
        {"TC.VDS.Method", 2},
        {"TC.VDS.Subsystem", 3},
        {"TC.VDS.Disk", 4},
        {"TC.VDS.Controller", 5},
        {"TC.VDS.LUN", 6},
        {"TC.VDS.Target", 7},
        {"TC.VDS.Portal", 8},
        {"TC.VDS.Provider", 9},
    }};
    uint16_t result = DEFAULT_EVENT_CATEGORY;
    for (const auto& [text, value] : table) {
        if (category.find(text) != std::string_view::npos)
            result = value;
    }
    return result;
}

int WindowsTraceStreamSinkClass::syslogPriorityFor(uint16_t eventType) {
    switch (eventType) {
    case EVENT_TYPE_ERROR:
        return LOG_ERR;
    case EVENT_TYPE_WARNING:
        return LOG_WARNING;
    default:
        return LOG_INFO;
    }
}

std::string WindowsTraceStreamSinkClass::locationString(std::string_view function,
                                                        std::string_view file, int32_t line) {
    std::string text;
    text.reserve(function.size() + file.size() + 32);
    text.append(function).append(", File: ").append(file).append(", Line ");
    text.append(std::to_string(line)).append("\r\n\r\n");
    return std::string(cut(text));
}

bool WindowsTraceStreamSinkClass::write(std::string_view file, int32_t line,
                                        std::string_view function, std::string_view,
                                        uint32_t verbosity, std::string_view category,
                                        std::string_view message) {
    std::lock_guard lock(m_mutex);
    if (verbosity > m_ceiling)
        return false;
    const uint16_t type = eventTypeFor(verbosity);
    const std::string location = locationString(function, file, line);
    const std::string_view text = cut(message);
    // syslog has no insertion strings: the event text "Location: %1\nMessage: %2" is
    // flattened onto one line, with the line ends of the location dropped.
    const std::string_view where = std::string_view(location).substr(0, location.find("\r\n"));
    syslog(syslogPriorityFor(type), "[event %u category %u] Location: %.*s Message: %.*s",
           EVENT_ID, static_cast<unsigned>(eventCategoryFor(category)),
           static_cast<int>(where.size()), where.data(), static_cast<int>(text.size()),
           text.data());
    return false;
}

} // namespace Merrow::Trace
