#include "user_agent/base/MerrowUserAgentEnums.h"
#include "user_agent/base/MWExceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace Merrow::UserAgent {
namespace {

using Factory = std::function<std::unique_ptr<EnumBase>(std::int32_t)>;

template <typename E> Factory factory() {
    return [](std::int32_t value) { return std::make_unique<E>(value); };
}

std::vector<Factory> everyEnumeration() {
    using namespace UAEnums;
    return {factory<ActionType>(),
            factory<AuthenticationMethod>(),
            factory<AuthenticationMethodInUse>(),
            factory<BindFailReason>(),
            factory<BladeHealth>(),
            factory<BladeState>(),
            factory<BladeType>(),
            factory<DigestMethod>(),
            factory<DiskConnectionState>(),
            factory<DiskState>(),
            factory<DriveTechnology>(),
            factory<DriveType>(),
            factory<ExtentState>(),
            factory<FirmwareUpgradeState>(),
            factory<FrameType>(),
            factory<CvnBatteryPolicy>(),
            factory<CvnBatteryState>(),
            factory<CvnFailoverPolicy>(),
            factory<OperationalStatus>(),
            factory<PersistenceSetting>(),
            factory<PoolType>(),
            factory<PortState>(),
            factory<RecurrencePeriodicity>(),
            factory<SataQueuingSupportType>(),
            factory<SessionType>(),
            factory<ShowType>(),
            factory<StripeDepth>(),
            factory<SystemState>(),
            factory<TaskState>(),
            factory<UAValueType>(),
            factory<VolumeBlockSize>(),
            factory<VolumeCompositionName>(),
            factory<VolumeState>()};
}

std::string streamed(const EnumBase& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

TEST(EnumerationTest, SetAcceptsExactTextsAndUniquePrefixes) {
    struct Case {
        Factory create;
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {factory<UAEnums::DiskState>(), "Normal", 2},
        {factory<UAEnums::DiskState>(), "norm", 2},
        {factory<UAEnums::DiskState>(), " \tnormal\n", 2},
        {factory<UAEnums::DiskState>(), "f", 7},
        {factory<UAEnums::TaskState>(), "comp", 17},
        {factory<UAEnums::TaskState>(), "CA", 14},
        // An exact text wins although it also prefixes two other rows.
        {factory<UAEnums::ExtentState>(), "unhealthy", 4},
        {factory<UAEnums::ExtentState>(), "unhealthy_m", 16},
        {factory<UAEnums::StripeDepth>(), "32", 32768},
        {factory<UAEnums::StripeDepth>(), "1024kb", 1048576},
        {factory<UAEnums::VolumeBlockSize>(), "4", 4096},
        {factory<UAEnums::UAValueType>(), "integer", 1},
        {factory<UAEnums::CvnBatteryPolicy>(), "A", 5},
    };
    for (const Case& c : cases) {
        const auto e = c.create(-1);
        EXPECT_TRUE(e->set(c.text)) << c.text;
        EXPECT_EQ(e->getValue(), c.value) << e->enumName() << " '" << c.text << "'";
    }
}

TEST(EnumerationTest, SetRefusesUnknownAmbiguousAndShownOnlyTexts) {
    struct Case {
        Factory create;
        const char* text;
        const char* why;
    };
    const Case cases[] = {
        {factory<UAEnums::DiskState>(), "UNKNOWN", "row is not settable"},
        {factory<UAEnums::DiskState>(), "unk", "prefix of a row that is not settable"},
        {factory<UAEnums::CvnBatteryPolicy>(), "U", "both candidates not settable"},
        {factory<UAEnums::TaskState>(), "c", "Completed and Cancelled"},
        {factory<UAEnums::ExtentState>(), "Unhealthy_", "two longer rows"},
        {factory<UAEnums::StripeDepth>(), "1", "128KB and 1024KB"},
        {factory<UAEnums::DriveType>(), "SATAII", "longer than every row"},
        {factory<UAEnums::RecurrencePeriodicity>(), "Undefined", "row is not settable"},
        {factory<UAEnums::BladeType>(), "CB", "every board model"},
    };
    for (const Case& c : cases) {
        const auto e = c.create(1234);
        const std::string name = e->enumName();
        try {
            e->set(c.text);
            ADD_FAILURE() << name << " accepted '" << c.text << "' (" << c.why << ")";
        } catch (const MWEDataConversionError& error) {
            EXPECT_EQ(error.getMessage(), "Invalid " + name + " value: '" + c.text + "'");
            EXPECT_EQ(error.getFunction(), "Merrow::UserAgent::UAEnums::" + name + "::set");
            EXPECT_TRUE(error.getFile().ends_with("EnumBase.cpp")) << error.getFile();
        }
        EXPECT_EQ(e->getValue(), 1234) << name << " changed on '" << c.text << "'";
    }
}

TEST(EnumerationTest, BlankTextChangesNothing) {
    UAEnums::VolumeState state(6);
    for (const char* blank : {"", " ", "\t\n "}) {
        EXPECT_FALSE(state.set(blank));
        EXPECT_EQ(state.getValue(), 6);
    }
}

TEST(EnumerationTest, CimNumbersSkipShownOnlyRows) {
    UAEnums::DiskState disk(7);
    EXPECT_FALSE(disk.setFromCIM(0));
    EXPECT_FALSE(disk.setFromCIM(3));
    EXPECT_EQ(disk.getValue(), 7);
    EXPECT_TRUE(disk.setFromCIM(15));
    EXPECT_EQ(disk.getValue(), 15);
    EXPECT_EQ(UAEnums::DiskState(0).toCIM(), 0);
    EXPECT_EQ(UAEnums::DiskState(77).toCIM(), 0);
}

TEST(EnumerationTest, ValueTypeCimNumbersAreShifted) {
    UAEnums::UAValueType type;
    EXPECT_EQ(type.toCIM(), 0);
    EXPECT_TRUE(type.setFromCIM(2));
    EXPECT_EQ(type.getValue(), 1);
    EXPECT_STREQ(type.c_str(), "Integer");
    EXPECT_FALSE(type.setFromCIM(1));
    EXPECT_EQ(type.getValue(), 1);

    UAEnums::UAValueType last(16);
    EXPECT_STREQ(last.c_str(), "ServiceList");
    EXPECT_EQ(last.toCIM(), 17);
    EXPECT_EQ(last.toCIM64(), 17);
}

TEST(EnumerationTest, SeverityOfKnownAndMissingValues) {
    struct Case {
        std::unique_ptr<EnumBase> value;
        bool normal;
        bool error;
        bool warning;
        bool unknown;
        const char* shown;
    };
    Case cases[] = {
        {std::make_unique<UAEnums::DiskState>(2), true, false, false, false, "Normal"},
        {std::make_unique<UAEnums::DiskState>(7), false, true, false, false, "Failed (ERROR)"},
        {std::make_unique<UAEnums::ExtentState>(4), false, false, true, false,
         "Unhealthy (WARNING)"},
        {std::make_unique<UAEnums::DiskState>(0), false, false, false, true, "UNKNOWN (UNKNOWN)"},
        {std::make_unique<UAEnums::RecurrencePeriodicity>(0), true, false, false, false,
         "Undefined"},
        {std::make_unique<UAEnums::DiskState>(1), false, true, false, true,
         "_ERROR_ (UNKNOWN,ERROR)"},
        {std::make_unique<EnumBase>(), false, true, false, true, "_ERROR_ (UNKNOWN,ERROR)"},
    };
    for (const Case& c : cases) {
        const std::string shown = c.shown;
        EXPECT_EQ(c.value->isNormal(), c.normal) << shown;
        EXPECT_EQ(c.value->isError(), c.error) << shown;
        EXPECT_EQ(c.value->isWarning(), c.warning) << shown;
        EXPECT_EQ(c.value->isUnknown(), c.unknown) << shown;
        EXPECT_EQ(streamed(*c.value), shown);
    }
}

TEST(EnumerationTest, MissingValueShowsErrorText) {
    const UAEnums::StripeDepth depth;
    std::string text;
    depth.toString(text);
    EXPECT_EQ(text, "_ERROR_");
    EXPECT_STREQ(depth.c_str(), "_ERROR_");
}

TEST(EnumerationTest, SettableTextsLeaveOutShownOnlyRows) {
    const auto texts = UAEnums::CvnBatteryPolicy().getSettableTexts();
    const std::vector<std::string> expected{"Disregard", "Stop_buffering", "Stop_reads_and_writes",
                                            "A_UPS_is_present"};
    EXPECT_EQ(texts, expected);
}

// Every settable text must select its own row, and every settable row's CIM number must lead
// back to it: a duplicated text or CIM number in any table breaks this.
TEST(EnumerationTest, EverySettableRowRoundTrips) {
    for (const Factory& create : everyEnumeration()) {
        const auto e = create(0);
        const std::string name = e->enumName();
        ASSERT_FALSE(e->getSettableTexts().empty()) << name;
        for (const std::string& text : e->getSettableTexts()) {
            ASSERT_TRUE(e->set(text)) << name << " " << text;
            EXPECT_EQ(e->c_str(), text) << name;
            const auto back = create(-999);
            ASSERT_TRUE(back->setFromCIM(e->toCIM())) << name << " " << text;
            EXPECT_EQ(back->getValue(), e->getValue()) << name << " " << text;
        }
    }
}

} // namespace
} // namespace Merrow::UserAgent
