#include "trace/StandardTraceStreamSinkClass.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace Merrow::Trace {

namespace {

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? StandardTraceStreamSinkClass::unquoteEnvironmentValue(value) : std::string();
}

} // namespace

StandardTraceStreamSinkClass::StandardTraceStreamSinkClass(std::string outputName,
                                                           uint32_t ceiling)
    : m_ceiling(ceiling), m_outputName(std::move(outputName)) {}

StandardTraceStreamSinkClass::~StandardTraceStreamSinkClass() {
    if (m_ownsOutput && m_output)
        std::fclose(m_output);
}

StandardTraceStreamSinkClass& StandardTraceStreamSinkClass::processSink() {
    static StandardTraceStreamSinkClass sink = [] {
        return StandardTraceStreamSinkClass(outputNameFromEnvironment(), ceilingFromEnvironment());
    }();
    static const bool filtered = [] {
        sink.setCategoryFilterList(categoryFilterFromEnvironment());
        return true;
    }();
    (void)filtered;
    return sink;
}

// MWTRACE_CATEGORY is the spelling people type; the older one still works.
std::string StandardTraceStreamSinkClass::categoryFilterFromEnvironment() {
    return environmentValue("MWTRACE_CATEGORY") + "," + environmentValue("MWTRACE_CATAGORY");
}

std::string StandardTraceStreamSinkClass::outputNameFromEnvironment() {
    return environmentValue("MWTRACE_OUTPUT_FILE");
}

uint32_t StandardTraceStreamSinkClass::ceilingFromEnvironment() {
    const std::string text = environmentValue("MWTRACE_VERBOSITY");
    uint32_t ceiling = DEFAULT_CEILING;
    if (text.empty())
        return ceiling;
    // Like a C decimal conversion: leading digits count, anything unreadable gives 0.
    const char* begin = text.c_str() + std::strspn(text.c_str(), " \t");
    auto [end, error] = std::from_chars(begin, text.c_str() + text.size(), ceiling);
    (void)end;
    return error == std::errc() ? ceiling : 0;
}

std::string StandardTraceStreamSinkClass::unquoteEnvironmentValue(std::string_view value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
        return std::string(value);
    value = value.substr(1, value.size() - 2);
    std::string result;
    result.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            result += value[i];
            continue;
        }
        if (++i < value.size())
            result += value[i];
    }
    return result;
}

bool StandardTraceStreamSinkClass::openOutputLocked() {
    if (m_output)
        return true;
    if (m_outputName == "stdout") {
        m_output = stdout;
        return true;
    }
    if (m_outputName == "stderr") {
        m_output = stderr;
        return true;
    }
    m_output = std::fopen(m_outputName.c_str(), "w");
    if (!m_output) {
        // Tracing never fails its caller: say why on standard output and try again next time.
        std::fprintf(stdout, "%s\n", std::strerror(errno));
        std::fflush(stdout);
        return false;
    }
    m_ownsOutput = true;
    return true;
}

bool StandardTraceStreamSinkClass::write(std::string_view, int32_t, std::string_view,
                                         std::string_view prefix, uint32_t verbosity,
                                         std::string_view category, std::string_view message) {
    std::lock_guard lock(m_mutex);
    if (verbosity > m_ceiling)
        return false;
    if (hasCategoryFilter() && !category.empty() && !categoryAccepted(category))
        return false;
    if (m_outputName.empty() || !openOutputLocked())
        return false;
    const bool prefixWritten = std::fwrite(prefix.data(), 1, prefix.size(), m_output) == prefix.size();
    const bool messageWritten =
        std::fwrite(message.data(), 1, message.size(), m_output) == message.size();
    std::fputc('\n', m_output);
    std::fflush(m_output);
    return prefixWritten && messageWritten;
}

} // namespace Merrow::Trace
