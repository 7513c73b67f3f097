#include "user_agent/base/DateTime.h"

#include "cim/value/CIMDateTime.h"
#include "cim/value/CIMValueError.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/TextUtil.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <istream>
#include <limits>
#include <ostream>
#include <string_view>

namespace Merrow::UserAgent {

namespace {

constexpr char kConstructorName[] = "Merrow::UserAgent::DateTime::DateTime";
constexpr std::size_t kMaxLineLength = 99;
constexpr int kFullYearThreshold = 1900;
constexpr std::size_t kMillisecondDigits = 3;

// What the text was expected to be, chosen by the caller so the message names the part that
// failed.
struct ErrorKind {
    const char* prefix;
};
constexpr ErrorKind kDateError{"Invalid date string : '"};
constexpr ErrorKind kTimeError{"Invalid time string : '"};
constexpr ErrorKind kDateTimeError{"Invalid date/time string : '"};

[[noreturn]] void throwParseError(ErrorKind kind, const std::string& text, int line) {
    throw MWEDataConversionError(kind.prefix + text + "'", __FILE__, line, kConstructorName);
}

// A whole non-negative decimal number, nothing else.
bool parseNumber(std::string_view digits, int& number) {
    unsigned value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || error != std::errc() || stop != end ||
        value > static_cast<unsigned>(std::numeric_limits<int>::max()))
        return false;
    number = static_cast<int>(value);
    return true;
}

// The digits after the decimal point; the first three are the milliseconds (".25" is 250 ms).
bool parseFraction(std::string_view digits, std::uint32_t& milliseconds) {
    std::string padded(digits.substr(0, kMillisecondDigits));
    padded.resize(kMillisecondDigits, '0');
    int value = 0;
    const bool allDigits = digits.find_first_not_of("0123456789") == std::string_view::npos;
    if (!allDigits || !parseNumber(padded, value))
        return false;
    milliseconds = static_cast<std::uint32_t>(value);
    return true;
}

// year-month-day; a year up to 1900 counts from 1900.
void parseDate(std::string_view part, const std::string& text, std::tm& fields) {
    const auto pieces = TextUtil::split(part, '-');
    int year = 0;
    int month = 0;
    int day = 0;
    if (pieces.size() != 3 || !parseNumber(pieces[0], year) || !parseNumber(pieces[1], month) ||
        !parseNumber(pieces[2], day) || month < 1 || month > 12)
        throwParseError(kDateError, text, __LINE__);
    fields.tm_year = year > kFullYearThreshold ? year - 1900 : year;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
}

// hours:minutes[:seconds[.fraction]]
void parseTime(std::string_view part, const std::string& text, std::tm& fields,
               std::uint32_t& milliseconds) {
    const auto pieces = TextUtil::split(part, ':');
    if (pieces.size() != 2 && pieces.size() != 3)
        throwParseError(kTimeError, text, __LINE__);
    bool valid = parseNumber(pieces[0], fields.tm_hour) && parseNumber(pieces[1], fields.tm_min);
    if (pieces.size() == 3) {
        const auto seconds = TextUtil::split(pieces[2], '.');
        valid = valid && seconds.size() <= 2 && parseNumber(seconds[0], fields.tm_sec) &&
                (seconds.size() == 1 || parseFraction(seconds[1], milliseconds));
    }
    if (!valid)
        throwParseError(kTimeError, text, __LINE__);
}

std::tm localFields(std::time_t seconds) {
    std::tm fields{};
    if (!localtime_r(&seconds, &fields))
        fields = std::tm{};
    return fields;
}

void setToday(std::tm& fields) {
    const std::tm today = localFields(std::time(nullptr));
    fields.tm_year = today.tm_year;
    fields.tm_mon = today.tm_mon;
    fields.tm_mday = today.tm_mday;
}

// Seconds since 1970 from local broken-down time, or false when the time cannot be shown as a
// millisecond count since year 0.
bool toEpochSeconds(std::tm fields, std::time_t& seconds) {
    errno = 0;
    seconds = std::mktime(&fields);
    if (seconds == static_cast<std::time_t>(-1) && errno != 0)
        return false;
    constexpr auto kLimit =
        std::numeric_limits<std::uint64_t>::max() / 1000 - DateTime::kEpochOffsetSeconds - 1;
    const auto offset = static_cast<std::int64_t>(DateTime::kEpochOffsetSeconds);
    return seconds >= -offset && (seconds < 0 || static_cast<std::uint64_t>(seconds) <= kLimit);
}

std::uint64_t toMilliseconds(std::time_t epochSeconds, std::uint32_t milliseconds) {
    const auto sinceYearZero = static_cast<std::uint64_t>(
        epochSeconds + static_cast<std::int64_t>(DateTime::kEpochOffsetSeconds));
    return sinceYearZero * 1000 + milliseconds;
}

std::uint64_t parseDateTime(const std::string& text) {
    const auto tokens = TextUtil::splitSkippingEmpty(text, ' ');
    std::tm fields{};
    fields.tm_isdst = -1;
    std::uint32_t milliseconds = 0;
    if (tokens.size() == 1 && TextUtil::split(tokens[0], '-').size() == 1) {
        setToday(fields);
        parseTime(tokens[0], text, fields, milliseconds);
    } else if (tokens.size() == 1) {
        parseDate(tokens[0], text, fields);
    } else if (tokens.size() == 2) {
        parseDate(tokens[0], text, fields);
        parseTime(tokens[1], text, fields, milliseconds);
    } else {
        throwParseError(kDateTimeError, text, __LINE__);
    }
    std::time_t seconds = 0;
    if (!toEpochSeconds(fields, seconds))
        throwParseError(kDateError, text, __LINE__);
    return toMilliseconds(seconds, milliseconds);
}

bool sameDay(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_yday == b.tm_yday;
}

} // namespace

DateTime::DateTime(const std::string& text) : m_milliseconds(parseDateTime(text)) {}

DateTime::DateTime(const std::tm& localTime, std::uint32_t milliseconds) {
    std::time_t seconds = 0;
    if (!toEpochSeconds(localTime, seconds))
        throw MWEDataConversionError("Invalid broken-down time", __FILE__, __LINE__,
                                     kConstructorName);
    m_milliseconds = toMilliseconds(seconds, milliseconds);
}

DateTime DateTime::now() {
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch());
    return fromMilliseconds(static_cast<std::uint64_t>(sinceEpoch.count()) +
                            kEpochOffsetSeconds * 1000);
}

DateTime DateTime::fromCIMDateTime(const cim::CIMDateTime& value) {
    constexpr std::int64_t kEpochOffsetMilliseconds = kEpochOffsetSeconds * 1000;
    const std::string text = value.toString();
    if (value.isInterval())
        throw MWEDataConversionError("CIM interval is not a point in time : '" + text + "'",
                                     __FILE__, __LINE__, __PRETTY_FUNCTION__);
    std::int64_t unixMicroseconds = 0;
    try {
        unixMicroseconds = value.toMicroseconds();
    } catch (const cim::CIMValueError&) {
        throw MWEDataConversionError("CIM timestamp with wildcards : '" + text + "'", __FILE__,
                                     __LINE__, __PRETTY_FUNCTION__);
    }
    // Floor division, so that a time before 1970 does not round towards it.
    std::int64_t unixMilliseconds = unixMicroseconds / 1000;
    if (unixMicroseconds % 1000 < 0)
        --unixMilliseconds;
    if (unixMilliseconds < -kEpochOffsetMilliseconds)
        throw MWEDataConversionError("CIM timestamp before year 0 : '" + text + "'", __FILE__,
                                     __LINE__, __PRETTY_FUNCTION__);
    return fromMilliseconds(static_cast<std::uint64_t>(unixMilliseconds + kEpochOffsetMilliseconds));
}

cim::CIMDateTime DateTime::toCIMDateTime() const {
    const auto unixMilliseconds =
        static_cast<std::int64_t>(m_milliseconds) - static_cast<std::int64_t>(kEpochOffsetSeconds * 1000);
    return cim::CIMDateTime::fromUnixMicroseconds(unixMilliseconds * 1000);
}

DateTime DateTime::fromMilliseconds(std::uint64_t milliseconds) {
    DateTime value;
    value.m_milliseconds = milliseconds;
    return value;
}

std::string DateTime::toString() const {
    const std::uint64_t seconds = m_milliseconds / 1000;
    const std::time_t epochSeconds =
        seconds < kEpochOffsetSeconds ? 0 : static_cast<std::time_t>(seconds - kEpochOffsetSeconds);
    const std::tm fields = localFields(epochSeconds);
    char buffer[96];
    if (sameDay(fields, localFields(std::time(nullptr))))
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", fields.tm_hour, fields.tm_min,
                      fields.tm_sec);
    else
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", fields.tm_year + 1900,
                      fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min,
                      fields.tm_sec);
    return buffer;
}

std::ostream& operator<<(std::ostream& out, const DateTime& value) {
    return out << value.toString();
}

std::istream& operator>>(std::istream& in, DateTime& value) {
    std::string line;
    if (!std::getline(in, line))
        return in;
    if (line.size() > kMaxLineLength) {
        in.setstate(std::ios::failbit);
        return in;
    }
    value = DateTime(std::string(TextUtil::trim(line)));
    return in;
}

} // namespace Merrow::UserAgent
