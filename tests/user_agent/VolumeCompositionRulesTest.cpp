// The composition rules behind volume creation, reconfiguration and growth estimates.

#include "user_agent/base/VolumeCompositionRules.h"

#include <gtest/gtest.h>

namespace Merrow::UserAgent {
namespace {

using Rules = VolumeCompositionRules;
using Composition = UAEnums::VolumeCompositionName;
using R = MerrowReturnValue;

constexpr std::uint64_t GB = 1'000'000'000ull;

enum : std::int32_t { kUnknown = 0, kJbod = 1, kStripe = 2, kMirror = 3, kStripeMirror = 4, kParity = 5 };

struct WidthCase {
    const char* description;
    std::int32_t composition;
    std::uint8_t requested;
    R::Code expected;
    std::uint8_t sent;
};

TEST(VolumeCompositionRulesTest, StripeWidthIsCheckedAgainstTheCompositionsMaximum) {
    const WidthCase cases[] = {
        {"mirror is always one wide", kMirror, 4, R::UA_S_OK, 1},
        {"JBOD is always one wide", kJbod, 16, R::UA_S_OK, 1},
        {"parity takes 17", kParity, 17, R::UA_S_OK, 17},
        {"parity refuses 18", kParity, 18, R::UA_E_INVALIDARG, 18},
        {"stripe takes 16", kStripe, 16, R::UA_S_OK, 16},
        {"stripe refuses 17", kStripe, 17, R::UA_E_INVALIDARG, 17},
        {"stripe-mirror refuses 17", kStripeMirror, 17, R::UA_E_INVALIDARG, 17},
        {"width 0 leaves the choice to the array", kStripe, 0, R::UA_S_OK, 0},
        {"UNKNOWN cannot be chosen", kUnknown, 1, R::UA_E_INVALIDARG, 1},
        {"nor a value outside the table", 6, 1, R::UA_E_INVALIDARG, 1},
    };
    for (const WidthCase& c : cases) {
        std::uint8_t width = c.requested;
        const R result = Rules::CheckStripeWidth(Composition(c.composition), width);
        EXPECT_EQ(result.getCode(), c.expected) << c.description;
        EXPECT_EQ(width, c.sent) << c.description;
    }
}

TEST(VolumeCompositionRulesTest, TooWideAStripeSaysWhy) {
    std::uint8_t width = 18;
    EXPECT_EQ(Rules::CheckStripeWidth(Composition(kParity), width).getMessage(),
              "StripeWidth exceeds maximum for VolumeComposition selected");
}

TEST(VolumeCompositionRulesTest, RedundancyNamesTheComposition) {
    struct Case {
        std::uint16_t stripeLength, dataRedundancy, packageRedundancy;
        std::int32_t expected;
    };
    const Case cases[] = {
        {1, 1, 0, kJbod},   {1, 2, 0, kMirror},  {1, 2, 1, kMirror},       {4, 2, 0, kStripeMirror},
        {4, 1, 1, kParity}, {4, 1, 0, kStripe},  {4, 2, 1, kStripeMirror}, {0, 1, 2, kStripe},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Rules::FromRedundancy(c.stripeLength, c.dataRedundancy, c.packageRedundancy)
                      .getValue(),
                  c.expected)
            << "SL " << c.stripeLength << " DR " << c.dataRedundancy << " PR " << c.packageRedundancy;
    }
}

struct GrowthCase {
    const char* description;
    std::int32_t composition;
    std::uint16_t stripeLength;
    Rules::FreeSpaces free;
    std::uint64_t expected;
};

TEST(VolumeCompositionRulesTest, GrowthIsTheNthLargestFreeSpaceOverTheDisksItNeeds) {
    const GrowthCase cases[] = {
        {"parity SL 5: 10 GB x 5 x 4 / 5", kParity, 5, {10 * GB, 20 * GB, 30 * GB, 40 * GB, 50 * GB}, 40 * GB},
        {"parity SL 5 over six disks takes the fifth largest", kParity, 5,
         {5 * GB, 10 * GB, 20 * GB, 30 * GB, 40 * GB, 50 * GB}, 40 * GB},
        {"parity below 4 counts 3 disks", kParity, 2, {30 * GB, 60 * GB, 90 * GB}, 60 * GB},
        {"stripe with too few disks", kStripe, 4, {10 * GB, 20 * GB, 30 * GB}, 0},
        {"stripe SL 4 over four", kStripe, 4, {10 * GB, 20 * GB, 30 * GB, 40 * GB}, 40 * GB},
        {"stripe below 3 counts 2 disks", kStripe, 1, {10 * GB, 25 * GB, 30 * GB}, 50 * GB},
        {"mirror halves two disks", kMirror, 1, {10 * GB, 70 * GB, 30 * GB}, 30 * GB},
        {"stripe-mirror SL 2 needs four", kStripeMirror, 2, {10 * GB, 20 * GB, 30 * GB}, 0},
        {"stripe-mirror SL 2 over four", kStripeMirror, 2, {10 * GB, 20 * GB, 30 * GB, 40 * GB}, 20 * GB},
        {"equal free spaces count once each", kStripe, 3, {7 * GB, 7 * GB, 7 * GB}, 21 * GB},
        {"JBOD adds everything up", kJbod, 1, {1, 2, 3}, 6},
        {"JBOD without candidates", kJbod, 1, {}, 0},
        {"no candidates", kParity, 5, {}, 0},
    };
    for (const GrowthCase& c : cases) {
        std::uint64_t growth = 12345;
        Rules::MaxGrowSize(Composition(c.composition), c.stripeLength, c.free, growth);
        EXPECT_EQ(growth, c.expected) << c.description;
    }
}

TEST(VolumeCompositionRulesTest, UnknownCompositionLeavesTheGrowthAsItWas) {
    std::uint64_t growth = 12345;
    Rules::MaxGrowSize(Composition(kUnknown), 4, {GB, GB, GB, GB}, growth);
    EXPECT_EQ(growth, 12345u);
}

TEST(VolumeCompositionRulesTest, GrowthMultipliesBeforeDividing) {
    // 1001 x 3 x 2 / 3 = 2002; dividing first would lose the remainder.
    std::uint64_t growth = 0;
    Rules::MaxGrowSize(Composition(kParity), 3, {1001, 1001, 1001}, growth);
    EXPECT_EQ(growth, 2002u);
}

TEST(VolumeCompositionRulesTest, SizesRoundUpToWholeBlocks) {
    EXPECT_EQ(Rules::RoundUpToBlock(0), 0u);
    EXPECT_EQ(Rules::RoundUpToBlock(1), 512u);
    EXPECT_EQ(Rules::RoundUpToBlock(512), 512u);
    EXPECT_EQ(Rules::RoundUpToBlock(513), 1024u);
}

} // namespace
} // namespace Merrow::UserAgent
