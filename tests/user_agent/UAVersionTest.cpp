#include "user_agent/base/UAVersion.h"
#include "user_agent/base/UAException.h"

#include <gtest/gtest.h>

namespace Merrow::UserAgent {
namespace {

using C = UAVersion::Compatibility;

TEST(UAVersionTest, ParsesFourNumbers) {
    const UAVersion version = UAVersion::parse(" 2.8.65535.0\n");
    EXPECT_EQ(version, UAVersion(2, 8, 65535, 0));
    EXPECT_EQ(version.toString(), "2.8.65535.0");
}

TEST(UAVersionTest, RefusesTextThatIsNotFourNumbers) {
    for (const char* text : {"", "2.8.2", "2.8.2.2.2", "2.8..2", "2.8.2.x", "2.8.2.-1",
                             "2.8.2.65536", "v2.8.2.2", "2.8.2.2 beta", "2,8,2,2", "2.8. 2.2"}) {
        try {
            UAVersion::parse(text);
            ADD_FAILURE() << "accepted \"" << text << "\"";
        } catch (const UAException& e) {
            EXPECT_EQ(e.getMessage(), "Bad version string") << text;
        }
    }
}

TEST(UAVersionTest, KeyOrdersByMajorAndMinorOnly) {
    EXPECT_EQ(UAVersion(2, 5, 0, 0).getKey(), UAVersion(2, 5, 99, 99).getKey());
    EXPECT_LT(UAVersion(2, 5, 65535, 65535).getKey(), UAVersion(2, 6, 0, 0).getKey());
    EXPECT_LT(UAVersion(2, 65535, 0, 0).getKey(), UAVersion(3, 0, 0, 0).getKey());
    EXPECT_EQ(UAVersion(1, 2, 0, 0).getKey(), ((1ull << 16) + 2) << 32);
}

TEST(UAVersionTest, ArrayFirmwareAgainstThisClient) {
    struct Case {
        const char* array;
        C expected;
    };
    const Case cases[] = {
        {"2.4.0.0", C::Incompatible},
        {"2.4.99.99", C::Incompatible},
        {"2.5.0.0", C::Compatible},
        {"2.5.1.80", C::Compatible},
        {"2.8.2.2", C::Compatible},
        {"2.8.9.9", C::Compatible},
        {"2.9.0.0", C::Incompatible},
        {"3.0.0.0", C::Incompatible},
        {"1.0.0.0", C::Incompatible},
        {"0.9.9.9", C::ArrayVersionInvalid},
        {"0.0.0.0", C::ArrayVersionInvalid},
        // The development band is open at both ends.
        {"90.0.9.9", C::Incompatible},
        {"90.1.0.0", C::Compatible},
        {"91.0.0.0", C::Compatible},
        {"99.98.0.0", C::Compatible},
        {"99.99.0.0", C::Incompatible},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UAVersion::checkArray(UAVersion::parse(c.array)), c.expected) << c.array;
}

TEST(UAVersionTest, ClientVersionSidesOfTheRule) {
    // A development client works with any real array, but not with an invalid one.
    EXPECT_EQ(UAVersion::checkArray({3, 0, 0, 0}, {91, 0, 0, 0}), C::Compatible);
    EXPECT_EQ(UAVersion::checkArray({0, 1, 0, 0}, {91, 0, 0, 0}), C::ArrayVersionInvalid);
    // A client that does not know its version accepts everything.
    EXPECT_EQ(UAVersion::checkArray({0, 0, 0, 0}, {0, 9, 0, 0}), C::ClientVersionInvalid);
    // A newer client accepts arrays up to its own release.
    EXPECT_EQ(UAVersion::checkArray({2, 9, 0, 0}, {2, 9, 0, 0}), C::Compatible);
}

} // namespace
} // namespace Merrow::UserAgent
