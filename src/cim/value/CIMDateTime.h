// CIMDateTime: a CIM timestamp or interval in its 25-character DSP0201 form.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace cim {

/// A CIM datetime value, kept in its 25-character text form.
///
///   timestamp  "yyyymmddhhmmss.mmmmmmsutc"  s is "+" or "-", utc the offset from UTC in
///              minutes ("20240131235959.123456-300" is 23:59:59.123456 at UTC-5)
///   interval   "ddddddddhhmmss.mmmmmm:000"  days, hours, minutes, seconds, microseconds
///
/// Digits may be replaced by "*" (a field that is not significant), but only as one run
/// that reaches the end of the microseconds: "2024013123****.******+000" is accepted,
/// "2024**31235959.123456+000" is not. The UTC offset is never wild. Fields are range
/// checked (months 01-12, days valid for the month, hours 00-23, minutes and seconds
/// 00-59). Anything else throws CIMValueError.
class CIMDateTime {
public:
    /// The zero interval "00000000000000.000000:000".
    CIMDateTime();
    explicit CIMDateTime(std::string_view text);

    static CIMDateTime timestamp(int year, int month, int day, int hour, int minute, int second,
                                 uint32_t microseconds = 0, int utcOffsetMinutes = 0);
    static CIMDateTime interval(uint32_t days, int hours, int minutes, int seconds,
                                uint32_t microseconds = 0);
    /// The timestamp of a point in time given in microseconds since 1970-01-01 UTC, written
    /// in UTC (offset "+000").
    static CIMDateTime fromUnixMicroseconds(int64_t microseconds);
    /// Now, in UTC.
    static CIMDateTime now();

    std::string toString() const { return std::string(m_text.data(), m_text.size()); }
    std::string_view text() const noexcept { return {m_text.data(), m_text.size()}; }

    bool isInterval() const noexcept { return m_text[21] == ':'; }
    bool isTimestamp() const noexcept { return !isInterval(); }
    /// True when some digits are "*".
    bool hasWildcards() const noexcept;

    /// Offset from UTC in minutes (timestamps; 0 for intervals).
    int utcOffsetMinutes() const noexcept;

    /// Interval: its length in microseconds. Timestamp: microseconds since 1970-01-01 UTC.
    /// Throws CIMValueError when the value has wildcards.
    int64_t toMicroseconds() const;

    friend bool operator==(const CIMDateTime& a, const CIMDateTime& b) noexcept {
        return a.m_text == b.m_text;
    }

private:
    std::array<char, 25> m_text;
};

std::ostream& operator<<(std::ostream& os, const CIMDateTime& value);

} // namespace cim
