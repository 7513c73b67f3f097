#pragma once

#include <compare>
#include <cstdint>
#include <ctime>
#include <iosfwd>
#include <string>

namespace cim {
class CIMDateTime;
}

namespace Merrow::UserAgent {

// A point in time as milliseconds since 0000-01-01 00:00:00 of the proleptic Gregorian
// calendar. Conversions to and from text and broken-down time use the local time zone.
class DateTime {
public:
    // Seconds between 0000-01-01 and 1970-01-01.
    static constexpr std::uint64_t kEpochOffsetSeconds = 62167219200ULL;

    DateTime() = default;
    // Accepts "YYYY-MM-DD", "HH:MM[:SS[.fff]]" (today) or both separated by a space.
    // Throws MWEDataConversionError for anything else.
    explicit DateTime(const std::string& text);
    // Interprets the fields as mktime does, tm_isdst included.
    explicit DateTime(const std::tm& localTime, std::uint32_t milliseconds = 0);

    // A CIM timestamp (any UTC offset). Throws MWEDataConversionError for an interval, for
    // wildcards and for times before year 0.
    static DateTime fromCIMDateTime(const cim::CIMDateTime& value);

    static DateTime now();
    static DateTime fromMilliseconds(std::uint64_t milliseconds);

    std::uint64_t getMilliseconds() const { return m_milliseconds; }

    // The CIM timestamp of this point in time, written in UTC.
    cim::CIMDateTime toCIMDateTime() const;

    // "HH:MM:SS" for a time of today, "YYYY-MM-DD HH:MM:SS" otherwise; times before 1970 show
    // as the start of 1970.
    std::string toString() const;

    auto operator<=>(const DateTime&) const = default;

private:
    std::uint64_t m_milliseconds = 0;
};

std::ostream& operator<<(std::ostream& out, const DateTime& value);
// Reads one line of at most 99 characters and parses it; a longer line sets failbit and leaves
// the value unchanged. Malformed text throws MWEDataConversionError.
std::istream& operator>>(std::istream& in, DateTime& value);

} // namespace Merrow::UserAgent
