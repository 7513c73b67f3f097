#include "user_agent/base/DateTime.h"
#include "cim/value/CIMDateTime.h"
#include "user_agent/base/MWExceptions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <sstream>
#include <string>

namespace Merrow::UserAgent {
namespace {

constexpr std::uint64_t kOffsetMs = DateTime::kEpochOffsetSeconds * 1000;

std::uint64_t fromEpoch(std::int64_t epochSeconds, std::uint64_t milliseconds = 0) {
    return static_cast<std::uint64_t>(epochSeconds * 1000 + static_cast<std::int64_t>(kOffsetMs)) +
           milliseconds;
}

// Pins the local time zone so results do not depend on the machine.
class ZonedTest : public ::testing::Test {
protected:
    void useZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    void SetUp() override {
        if (const char* old = std::getenv("TZ"))
            m_savedZone = old;
        useZone("UTC0");
    }
    void TearDown() override {
        if (m_savedZone)
            setenv("TZ", m_savedZone->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_savedZone;
};

using DateTimeTest = ZonedTest;

TEST_F(DateTimeTest, ParsesDatesAndTimes) {
    struct Case {
        const char* text;
        std::uint64_t milliseconds;
    };
    const Case cases[] = {
        {"1970-01-01", fromEpoch(0)},
        {"2010-05-06 12:30:15", fromEpoch(1273149015)},
        {"2010-05-06 12:30:15.250", fromEpoch(1273149015, 250)},
        {"2010-05-06 12:30:15.25", fromEpoch(1273149015, 250)},
        {"2010-05-06 12:30:15.2509", fromEpoch(1273149015, 250)},
        {"2010-05-06 12:30:15.", fromEpoch(1273149015)},
        {"2010-05-06 12:30", fromEpoch(1273149015 - 15)},
        {"  2010-05-06   12:30:15  ", fromEpoch(1273149015)},
        {"110-05-06 12:30:15", fromEpoch(1273149015)},
        {"1901-01-01", fromEpoch(-2177452800)},
        {"1969-12-31 23:59:59", fromEpoch(-1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DateTime(c.text).getMilliseconds(), c.milliseconds) << c.text;
}

TEST_F(DateTimeTest, YearUpTo1900CountsFrom1900) {
    EXPECT_EQ(DateTime("1900-01-01").toString(), "3800-01-01 00:00:00");
    EXPECT_EQ(DateTime("1901-01-01").getMilliseconds(), fromEpoch(-2177452800));
    EXPECT_EQ(DateTime("100-01-01").toString(), "2000-01-01 00:00:00");
}

TEST_F(DateTimeTest, UsesTheLocalZoneIncludingSummerTime) {
    useZone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(DateTime("2010-01-01 12:00").getMilliseconds(), fromEpoch(1262343600));
    EXPECT_EQ(DateTime("2010-07-01 12:00").getMilliseconds(), fromEpoch(1277978400));
    EXPECT_EQ(DateTime::fromMilliseconds(fromEpoch(1277978400)).toString(), "2010-07-01 12:00:00");
}

TEST_F(DateTimeTest, TimeAloneMeansToday) {
    // Retry if the day changes between the two readings of the clock.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const DateTime parsed("12:30:15.250");
        const std::time_t after = std::time(nullptr);
        if (before / 86400 != after / 86400)
            continue;
        const std::int64_t midnight = before - before % 86400;
        EXPECT_EQ(parsed.getMilliseconds(), fromEpoch(midnight + 12 * 3600 + 30 * 60 + 15, 250));
        EXPECT_EQ(parsed.toString(), "12:30:15");
        EXPECT_EQ(DateTime("12:30").toString(), "12:30:00");
        return;
    }
    FAIL() << "the date kept changing";
}

TEST_F(DateTimeTest, MalformedTextNamesWhatFailed) {
    struct Case {
        const char* text;
        const char* prefix;
    };
    const char* date = "Invalid date string : '";
    const char* time = "Invalid time string : '";
    const char* both = "Invalid date/time string : '";
    const Case cases[] = {
        {"12", time},
        {"12:30:15:00", time},
        {"ab:cd", time},
        {"12:30:1x", time},
        {"12:30:15.2x", time},
        {"12:30:15.2.5", time},
        {"12::15", time},
        {"2010-05-06 12", time},
        {"2010-05-06 +1:00", time},
        {"2010-13-01", date},
        {"2010-00-01", date},
        {"2010-05", date},
        {"2010-05-06-07", date},
        {"2010-05-xx", date},
        {"12:-5", date},
        {"-2010-05-06", date},
        {"99999999999-01-01", date},
        {"2000000000-01-01", date},
        {"2010-05-06 12:30:15 extra", both},
        {"", both},
        {"   ", both},
    };
    for (const Case& c : cases) {
        try {
            DateTime value{std::string(c.text)};
            ADD_FAILURE() << "accepted '" << c.text << "'";
        } catch (const MWEDataConversionError& e) {
            EXPECT_EQ(e.getMessage(), std::string(c.prefix) + c.text + "'");
            EXPECT_EQ(e.getFunction(), "Merrow::UserAgent::DateTime::DateTime");
            EXPECT_TRUE(e.getFile().ends_with("DateTime.cpp")) << e.getFile();
            EXPECT_GT(e.getLine(), 0);
        }
    }
}

TEST_F(DateTimeTest, PrintsWithoutMillisecondsAndClampsBefore1970) {
    struct Case {
        std::uint64_t milliseconds;
        const char* text;
    };
    const Case cases[] = {
        {fromEpoch(1273149015, 999), "2010-05-06 12:30:15"},
        {fromEpoch(0), "1970-01-01 00:00:00"},
        {fromEpoch(-1), "1970-01-01 00:00:00"},
        {0, "1970-01-01 00:00:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DateTime::fromMilliseconds(c.milliseconds).toString(), c.text);
}

TEST_F(DateTimeTest, TextRoundTripKeepsWholeSeconds) {
    for (const char* text : {"2010-05-06 12:30:15", "2038-01-19 03:14:08", "9999-12-31 23:59:59"})
        EXPECT_EQ(DateTime(DateTime(text).toString()), DateTime(text)) << text;
}

TEST_F(DateTimeTest, BrokenDownTimeAndNowAgreeWithTheClock) {
    std::tm fields{};
    fields.tm_year = 110;
    fields.tm_mon = 4;
    fields.tm_mday = 6;
    fields.tm_hour = 12;
    fields.tm_min = 30;
    fields.tm_sec = 15;
    EXPECT_EQ(DateTime(fields, 7).getMilliseconds(), fromEpoch(1273149015, 7));

    using namespace std::chrono;
    const auto clockMs = [] {
        return static_cast<std::uint64_t>(
                   duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count()) +
               kOffsetMs;
    };
    const std::uint64_t before = clockMs();
    const DateTime now = DateTime::now();
    const std::uint64_t after = clockMs();
    EXPECT_GE(now.getMilliseconds(), before);
    EXPECT_LE(now.getMilliseconds(), after);
}

TEST_F(DateTimeTest, StreamsReadOneTrimmedLine) {
    std::istringstream in("  2010-05-06 12:30:15\t\n1970-01-02\n");
    DateTime first;
    DateTime second;
    in >> first >> second;
    EXPECT_EQ(first.getMilliseconds(), fromEpoch(1273149015));
    EXPECT_EQ(second.getMilliseconds(), fromEpoch(86400));

    std::ostringstream out;
    out << first;
    EXPECT_EQ(out.str(), "2010-05-06 12:30:15");
}

TEST_F(DateTimeTest, StreamRefusesOverlongLinesAndMalformedText) {
    const DateTime original = DateTime::fromMilliseconds(fromEpoch(5));
    DateTime value = original;
    std::istringstream longLine("2010-05-06" + std::string(90, ' ') + "\n");
    longLine >> value;
    EXPECT_TRUE(longLine.fail());
    EXPECT_EQ(value, original);

    std::istringstream longestAccepted("2010-05-06" + std::string(89, ' ') + "\n");
    longestAccepted >> value;
    EXPECT_FALSE(longestAccepted.fail());
    EXPECT_EQ(value.getMilliseconds(), fromEpoch(1273104000));

    std::istringstream malformed("2010-13-01\n");
    EXPECT_THROW(malformed >> value, MWEDataConversionError);
}

// ---- CIM datetimes ------------------------------------------------------------------------

TEST(DateTimeCIMTest, TimestampsConvertBothWaysWhateverTheirOffset) {
    // 2024-01-31 23:59:59.123 at UTC-5 is 2024-02-01 04:59:59.123 UTC.
    const DateTime fromArray =
        DateTime::fromCIMDateTime(cim::CIMDateTime("20240131235959.123456-300"));
    EXPECT_EQ(fromArray.getMilliseconds(), fromEpoch(1706763599, 123));
    EXPECT_EQ(fromArray.toCIMDateTime(), cim::CIMDateTime("20240201045959.123000+000"));
    EXPECT_EQ(DateTime::fromCIMDateTime(fromArray.toCIMDateTime()), fromArray);

    // Before 1970 the milliseconds still count forwards within the second.
    const DateTime early = DateTime::fromCIMDateTime(cim::CIMDateTime("19691231235959.999999+000"));
    EXPECT_EQ(early.getMilliseconds(), fromEpoch(-1, 999));
    EXPECT_EQ(early.toCIMDateTime(), cim::CIMDateTime("19691231235959.999000+000"));
}

TEST(DateTimeCIMTest, RefusesWhatIsNotAPointInTime) {
    EXPECT_THROW(DateTime::fromCIMDateTime(cim::CIMDateTime::interval(1, 2, 3, 4)),
                 MWEDataConversionError);
    EXPECT_THROW(DateTime::fromCIMDateTime(cim::CIMDateTime("2024013123****.******+000")),
                 MWEDataConversionError);
}

} // namespace
} // namespace Merrow::UserAgent
