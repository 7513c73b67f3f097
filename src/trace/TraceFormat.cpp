#include "trace/TraceFormat.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <sys/syscall.h>
#include <unistd.h>

namespace Merrow::Trace::TraceFormat {

void appendTimestamp(std::string& out) {
    const auto now = std::chrono::system_clock::now();
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    static thread_local const uint64_t threadId = static_cast<uint64_t>(::syscall(SYS_gettid));
    appendTimestamp(out, millis, threadId);
}

void appendTimestamp(std::string& out, int64_t unixMillis, uint64_t threadId) {
    const time_t seconds = static_cast<time_t>(unixMillis / 1000);
    struct tm local {};
    localtime_r(&seconds, &local);
    char text[40];
    const int length = std::snprintf(
        text, sizeof text, "%2.2d-%2.2d-%2.2d %2.2d:%2.2d:%2.2d.%3.3lu &%3.3lX",
        local.tm_year % 100, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
        local.tm_sec, static_cast<unsigned long>(unixMillis % 1000),
        static_cast<unsigned long>(threadId & 0xFFF));
    out.append(text, static_cast<size_t>(length));
}

void appendLocation(std::string& out, std::string_view file, int32_t line) {
    char lineText[16];
    const int lineLength = std::snprintf(lineText, sizeof lineText, ":%d", line);
    const std::string_view base = locationBaseName(file);
    const size_t length = base.size() + static_cast<size_t>(lineLength);
    if (length < LOCATION_WIDTH)
        out.append(LOCATION_WIDTH - length, '-');
    // Keeping the tail means the line number always survives a long file name.
    const size_t skip = length > LOCATION_WIDTH ? length - LOCATION_WIDTH : 0;
    if (skip < base.size()) {
        out.append(base.substr(skip));
        out.append(lineText, static_cast<size_t>(lineLength));
    } else {
        out.append(lineText + (skip - base.size()), length - skip);
    }
}

void appendHeader(std::string& out, uint32_t verbosity, std::string_view category) {
    const size_t start = out.size();
    char text[16];
    const int length = std::snprintf(text, sizeof text, "V:%u C:", verbosity);
    out.append(text, static_cast<size_t>(length));
    out.append(categoryAbbreviation(category));
    const size_t written = out.size() - start;
    if (written > HEADER_WIDTH)
        out.resize(start + HEADER_WIDTH);
    else
        out.append(HEADER_WIDTH - written, '-');
}

std::string categoryAbbreviation(std::string_view category) {
    if (category.empty())
        return "U.NOTAVAILABLE";
    const size_t firstDot = category.find('.');
    if (firstDot == std::string_view::npos)
        return std::string(category);
    std::string_view rest = category.substr(firstDot + 1);
    // Empty components (".." or a trailing ".") are skipped, as a tokenizer would.
    std::string initials;
    std::string_view last;
    size_t pos = 0;
    while (pos <= rest.size()) {
        const size_t dot = std::min(rest.find('.', pos), rest.size());
        const std::string_view component = rest.substr(pos, dot - pos);
        if (!component.empty()) {
            if (!last.empty())
                initials += last.front();
            last = component;
        }
        pos = dot + 1;
    }
    if (last.empty())
        return "U.UNDEFINED";
    return initials + "." + std::string(last);
}

void appendIndentation(std::string& out, int32_t depth) {
    if (depth < 1 || depth > MAX_INDENTED_DEPTH)
        return;
    for (int32_t level = 1; level <= depth; ++level)
        out.append(level % 2 ? "| " : ". ");
}

std::string_view locationBaseName(std::string_view file) {
    size_t cut = file.rfind('\\');
    if (cut == std::string_view::npos)
        cut = file.rfind('/');
    return cut == std::string_view::npos ? file : file.substr(cut + 1);
}

std::string_view recordFileName(std::string_view file) {
    size_t cut = file.rfind('/');
    if (cut == std::string_view::npos)
        cut = file.rfind('\\');
    return cut == std::string_view::npos ? std::string_view() : file.substr(cut + 1);
}

std::string_view afterLastColon(std::string_view function) {
    const size_t cut = function.rfind(':');
    return cut == std::string_view::npos ? std::string_view() : function.substr(cut + 1);
}

std::string_view qualifiedFunctionName(std::string_view pretty) {
    size_t end = pretty.find('(');
    if (end == std::string_view::npos)
        return pretty;
    // Step back over the name to the space that ends the return type, ignoring spaces inside
    // template arguments.
    int templateDepth = 0;
    size_t begin = end;
    while (begin > 0) {
        const char c = pretty[begin - 1];
        if (c == '>')
            ++templateDepth;
        else if (c == '<')
            --templateDepth;
        else if ((c == ' ' || c == '*' || c == '&') && templateDepth == 0)
            break;
        --begin;
    }
    return pretty.substr(begin, end - begin);
}

} // namespace Merrow::Trace::TraceFormat
