#include "cim/value/CIMDateTime.h"

#include <gtest/gtest.h>

#include <random>

#include "cim/value/CIMValueError.h"

namespace cim {
namespace {

struct DateTimeCase {
    const char* text;
    bool valid;
    friend void PrintTo(const DateTimeCase& c, std::ostream* os) { *os << c.text; }
};

class DateTimeText : public ::testing::TestWithParam<DateTimeCase> {};

TEST_P(DateTimeText, AcceptsOnlyTheDsp0201Form) {
    const DateTimeCase& c = GetParam();
    if (c.valid) {
        EXPECT_EQ(CIMDateTime(c.text).toString(), c.text);
    } else {
        EXPECT_THROW(CIMDateTime{c.text}, CIMValueError) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateTimeText,
    ::testing::Values(DateTimeCase{"20240131235959.123456+000", true},
                      DateTimeCase{"20240131235959.123456-300", true},
                      DateTimeCase{"20240229000000.000000+999", true},
                      DateTimeCase{"20230229000000.000000+000", false},  // not a leap year
                      DateTimeCase{"20240431000000.000000+000", false},  // April has 30 days
                      DateTimeCase{"20241301000000.000000+000", false},
                      DateTimeCase{"20240100000000.000000+000", false},
                      DateTimeCase{"20240101240000.000000+000", false},
                      DateTimeCase{"20240101006000.000000+000", false},
                      DateTimeCase{"20240101000060.000000+000", false},
                      DateTimeCase{"2024013123****.******+000", true},
                      DateTimeCase{"********************.******+000", false},  // too long
                      DateTimeCase{"**************.******+000", true},
                      DateTimeCase{"2024**31235959.123456+000", false},  // run does not end the value
                      DateTimeCase{"20240131235959.12345*+000", true},
                      DateTimeCase{"20240131235959.1234*6+000", false},
                      DateTimeCase{"20240131235959.123456+***", false},
                      DateTimeCase{"20240131235959.123456+00", false},
                      DateTimeCase{"20240131235959.123456+0000", false},
                      DateTimeCase{"20240131235959,123456+000", false},
                      DateTimeCase{"20240131235959.123456*000", false},
                      DateTimeCase{"2024013123595a.123456+000", false},
                      DateTimeCase{"00000001000000.000000:000", true},
                      DateTimeCase{"99999999235959.999999:000", true},
                      DateTimeCase{"00000001240000.000000:000", false},
                      DateTimeCase{"00000001000000.000000:001", false},  // intervals end ":000"
                      DateTimeCase{"0000000100****.******:000", true},
                      DateTimeCase{"", false}));

TEST(CIMDateTime, TimestampsCountFromTheEpochInUtc) {
    EXPECT_EQ(CIMDateTime("19700101000000.000000+000").toMicroseconds(), 0);
    // 01:00 at UTC+60 minutes is midnight UTC.
    EXPECT_EQ(CIMDateTime("19700101010000.000000+060").toMicroseconds(), 0);
    EXPECT_EQ(CIMDateTime("19691231190000.000001-300").toMicroseconds(), 1);
    EXPECT_EQ(CIMDateTime("20000301000000.000000+000").toMicroseconds(), 951868800LL * 1000000);
    EXPECT_EQ(CIMDateTime("20240131235959.123456-300").utcOffsetMinutes(), -300);
}

TEST(CIMDateTime, IntervalsCountDaysAndTime) {
    const CIMDateTime interval = CIMDateTime::interval(2, 3, 4, 5, 6);
    EXPECT_EQ(interval.toString(), "00000002030405.000006:000");
    EXPECT_TRUE(interval.isInterval());
    EXPECT_EQ(interval.utcOffsetMinutes(), 0);
    EXPECT_EQ(interval.toMicroseconds(), ((2 * 24 + 3) * 3600LL + 4 * 60 + 5) * 1000000 + 6);
    EXPECT_EQ(CIMDateTime().toMicroseconds(), 0);
}

TEST(CIMDateTime, WildcardsHaveNoPointInTime) {
    const CIMDateTime wild("2024013123****.******+000");
    EXPECT_TRUE(wild.hasWildcards());
    EXPECT_THROW(wild.toMicroseconds(), CIMValueError);
}

TEST(CIMDateTime, UnixMicrosecondsRoundTrip) {
    std::mt19937_64 random(7);
    // Years 0000 to 9999 in microseconds since 1970.
    std::uniform_int_distribution<int64_t> range(-62167219200LL * 1000000, 253402300799LL * 1000000);
    for (int i = 0; i < 5000; ++i) {
        const int64_t micros = range(random);
        const CIMDateTime value = CIMDateTime::fromUnixMicroseconds(micros);
        ASSERT_EQ(value.toMicroseconds(), micros) << value;
        ASSERT_EQ(CIMDateTime(value.text()), value);
    }
}

TEST(CIMDateTime, BuildersRefuseOutOfRangeFields) {
    EXPECT_THROW(CIMDateTime::timestamp(2024, 2, 30, 0, 0, 0), CIMValueError);
    EXPECT_THROW(CIMDateTime::timestamp(2024, 1, 1, 0, 0, 0, 1000000), CIMValueError);
    EXPECT_THROW(CIMDateTime::timestamp(2024, 1, 1, 0, 0, 0, 0, 1000), CIMValueError);
    EXPECT_THROW(CIMDateTime::interval(100000000, 0, 0, 0), CIMValueError);
    EXPECT_EQ(CIMDateTime::timestamp(2024, 1, 2, 3, 4, 5, 6, -90).toString(),
              "20240102030405.000006-090");
}

} // namespace
} // namespace cim
