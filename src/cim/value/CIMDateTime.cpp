#include "cim/value/CIMDateTime.h"

#include <chrono>
#include <cstdio>
#include <ostream>

#include "cim/value/CIMValueError.h"

namespace cim {
namespace {

constexpr size_t kLength = 25;
constexpr size_t kDot = 14;
constexpr size_t kSign = 21;
constexpr int64_t kMicrosPerDay = 86'400'000'000LL;

bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

// A field that is entirely digits, or -1 when any of it is wild.
int field(std::string_view text, size_t pos, size_t length) noexcept {
    int value = 0;
    for (size_t i = pos; i < pos + length; ++i) {
        if (!isDigit(text[i])) {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool isLeapYear(int year) noexcept { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) noexcept {
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian calendar).
int64_t daysFromCivil(int64_t year, int month, int day) noexcept {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    int64_t year;
    int month;
    int day;
};

CivilDate civilFromDays(int64_t days) noexcept {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

[[noreturn]] void reject(std::string_view text, const char* why) {
    throw CIMValueError("invalid CIM datetime \"" + std::string(text) + "\": " + why);
}

// The significant positions are 0..20 except the dot; once a "*" appears, every later
// significant position must be "*" as well.
void checkDigitsAndWildcards(std::string_view text) {
    bool wild = false;
    for (size_t i = 0; i < kSign; ++i) {
        if (i == kDot) {
            continue;
        }
        if (text[i] == '*') {
            wild = true;
        } else if (!isDigit(text[i]) || wild) {
            reject(text, wild ? "\"*\" may only end the value" : "digit expected");
        }
    }
}

void checkRange(std::string_view text, int value, int low, int high, const char* what) {
    if (value >= 0 && (value < low || value > high)) {
        reject(text, what);
    }
}

void checkTimestampFields(std::string_view text) {
    if (!isDigit(text[22]) || !isDigit(text[23]) || !isDigit(text[24])) {
        reject(text, "UTC offset must be three digits");
    }
    const int year = field(text, 0, 4);
    const int month = field(text, 4, 2);
    const int day = field(text, 6, 2);
    checkRange(text, month, 1, 12, "month out of range");
    const int lastDay = (year >= 0 && month >= 1) ? daysInMonth(year, month) : 31;
    checkRange(text, day, 1, lastDay, "day out of range");
    checkRange(text, field(text, 8, 2), 0, 23, "hour out of range");
    checkRange(text, field(text, 10, 2), 0, 59, "minute out of range");
    checkRange(text, field(text, 12, 2), 0, 59, "second out of range");
}

void checkIntervalFields(std::string_view text) {
    if (text.substr(22) != "000") {
        reject(text, "an interval ends in \":000\"");
    }
    checkRange(text, field(text, 8, 2), 0, 23, "hours out of range");
    checkRange(text, field(text, 10, 2), 0, 59, "minutes out of range");
    checkRange(text, field(text, 12, 2), 0, 59, "seconds out of range");
}

void validate(std::string_view text) {
    if (text.size() != kLength) {
        reject(text, "must be 25 characters");
    }
    if (text[kDot] != '.') {
        reject(text, "\".\" expected at position 15");
    }
    checkDigitsAndWildcards(text);
    const char sign = text[kSign];
    if (sign == ':') {
        checkIntervalFields(text);
    } else if (sign == '+' || sign == '-') {
        checkTimestampFields(text);
    } else {
        reject(text, "\"+\", \"-\" or \":\" expected at position 22");
    }
}

std::string format(const char* pattern, auto... args) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, pattern, args...);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

} // namespace

CIMDateTime::CIMDateTime() : CIMDateTime(std::string_view("00000000000000.000000:000")) {}

CIMDateTime::CIMDateTime(std::string_view text) {
    validate(text);
    std::copy(text.begin(), text.end(), m_text.begin());
}

CIMDateTime CIMDateTime::timestamp(int year, int month, int day, int hour, int minute,
                                   int second, uint32_t microseconds, int utcOffsetMinutes) {
    if (year < 0 || year > 9999 || microseconds > 999'999 || utcOffsetMinutes < -999 ||
        utcOffsetMinutes > 999) {
        throw CIMValueError("CIM timestamp field out of range");
    }
    const char sign = utcOffsetMinutes < 0 ? '-' : '+';
    const int offset = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
    return CIMDateTime(format("%04d%02d%02d%02d%02d%02d.%06u%c%03d", year, month, day, hour,
                              minute, second, microseconds, sign, offset));
}

CIMDateTime CIMDateTime::interval(uint32_t days, int hours, int minutes, int seconds,
                                  uint32_t microseconds) {
    if (days > 99'999'999 || microseconds > 999'999) {
        throw CIMValueError("CIM interval field out of range");
    }
    return CIMDateTime(
        format("%08u%02d%02d%02d.%06u:000", days, hours, minutes, seconds, microseconds));
}

CIMDateTime CIMDateTime::fromUnixMicroseconds(int64_t microseconds) {
    int64_t days = microseconds / kMicrosPerDay;
    int64_t rest = microseconds % kMicrosPerDay;
    if (rest < 0) {
        rest += kMicrosPerDay;
        --days;
    }
    const CivilDate date = civilFromDays(days);
    const int64_t seconds = rest / 1'000'000;
    return timestamp(static_cast<int>(date.year), date.month, date.day,
                     static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                     static_cast<int>(seconds % 60), static_cast<uint32_t>(rest % 1'000'000), 0);
}

CIMDateTime CIMDateTime::now() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return fromUnixMicroseconds(
        std::chrono::duration_cast<std::chrono::microseconds>(sinceEpoch).count());
}

bool CIMDateTime::hasWildcards() const noexcept { return m_text[20] == '*'; }

int CIMDateTime::utcOffsetMinutes() const noexcept {
    if (isInterval()) {
        return 0;
    }
    const int minutes = field(text(), 22, 3);
    return m_text[kSign] == '-' ? -minutes : minutes;
}

int64_t CIMDateTime::toMicroseconds() const {
    if (hasWildcards()) {
        throw CIMValueError("CIM datetime \"" + toString() + "\" has wildcards");
    }
    const std::string_view t = text();
    const int64_t timeOfDay =
        ((field(t, 8, 2) * 60LL + field(t, 10, 2)) * 60 + field(t, 12, 2)) * 1'000'000LL +
        field(t, 15, 6);
    if (isInterval()) {
        return field(t, 0, 8) * kMicrosPerDay + timeOfDay;
    }
    const int64_t days = daysFromCivil(field(t, 0, 4), field(t, 4, 2), field(t, 6, 2));
    return days * kMicrosPerDay + timeOfDay - utcOffsetMinutes() * 60'000'000LL;
}

std::ostream& operator<<(std::ostream& os, const CIMDateTime& value) { return os << value.text(); }

} // namespace cim
