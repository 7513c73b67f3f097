#include "sim/VolumeLayout.h"

#include "sim/ArrayFailureCodes.h"

#include <gtest/gtest.h>

namespace Merrow::Sim {
namespace {

using Org = VolumeOrganization;

struct CheckCase {
    const char* description;
    LayoutRequest request;
    std::uint32_t failure;
    std::uint16_t width;
    std::uint32_t chunk;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.description; }

class VolumeLayoutCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(VolumeLayoutCheck, AcceptsOrRefusesAsTheArrayDoes)
{
    const CheckCase& c = GetParam();
    CheckedLayout checked;
    EXPECT_EQ(VolumeLayout::check(c.request, checked), c.failure) << c.description;
    if (c.failure == ArrayFailure::Ok) {
        EXPECT_EQ(checked.stripeWidth, c.width) << c.description;
        EXPECT_EQ(checked.chunkBytes, c.chunk) << c.description;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, VolumeLayoutCheck,
    testing::Values(
        CheckCase{"organization 0 is unknown", {0, 0, 2, 0}, ArrayFailure::UnknownOrganization, 0, 0},
        CheckCase{"organization 6 is unknown", {6, 0, 2, 0}, ArrayFailure::UnknownOrganization, 0, 0},
        CheckCase{"JBOD takes width 1", {1, 1, 2, 0}, ArrayFailure::Ok, 1, 65536},
        CheckCase{"JBOD width 0 becomes 1", {1, 0, 2, 0}, ArrayFailure::Ok, 1, 65536},
        CheckCase{"JBOD refuses width 4", {1, 4, 2, 0}, ArrayFailure::InvalidStripeCount, 0, 0},
        CheckCase{"stripe of one disk", {2, 1, 2, 0}, ArrayFailure::InvalidStripeCount, 0, 0},
        CheckCase{"stripe of 16", {2, 16, 2, 0}, ArrayFailure::Ok, 16, 65536},
        CheckCase{"stripe of 17", {2, 17, 2, 0}, ArrayFailure::InvalidStripeCount, 0, 0},
        CheckCase{"stripe width chosen by the array", {2, 0, 2, 0}, ArrayFailure::Ok, 0, 65536},
        CheckCase{"parity of 17", {5, 17, 2, 0}, ArrayFailure::Ok, 17, 65536},
        CheckCase{"parity of 18", {5, 18, 2, 0}, ArrayFailure::InvalidStripeCount, 0, 0},
        CheckCase{"parity of 2", {5, 2, 2, 0}, ArrayFailure::Ok, 2, 65536},
        CheckCase{"mirror with one copy", {3, 1, 1, 0}, ArrayFailure::InvalidMirrorCount, 0, 0},
        CheckCase{"stripe mirror with three copies", {4, 2, 3, 0}, ArrayFailure::InvalidMirrorCount, 0, 0},
        CheckCase{"stripe with mirror count 3", {2, 2, 3, 0}, ArrayFailure::InvalidMirrorCount, 0, 0},
        CheckCase{"mirror count 0 for a mirror", {3, 1, 0, 0}, ArrayFailure::Ok, 1, 65536},
        CheckCase{"chunk 1000000 rounds down", {1, 1, 2, 1000000}, ArrayFailure::Ok, 1, 524288},
        CheckCase{"smallest chunk", {1, 1, 2, 32768}, ArrayFailure::Ok, 1, 32768},
        CheckCase{"largest chunk", {1, 1, 2, 2097152}, ArrayFailure::Ok, 1, 2097152},
        CheckCase{"chunk below the range", {1, 1, 2, 32767}, ArrayFailure::ChunkSizeNotAllowed, 0, 0},
        CheckCase{"chunk above the range", {1, 1, 2, 2097153}, ArrayFailure::ChunkSizeNotAllowed, 0, 0}));

CheckedLayout layout(Org organization, std::uint16_t width)
{
    return {organization, width, VolumeLayout::kDefaultChunkBytes};
}

const std::vector<DiskSpace> kFourDisks{{"d0", 100}, {"d1", 50}, {"d2", 80}, {"d3", 20}};

struct MaxCase {
    const char* description;
    CheckedLayout layout;
    std::vector<DiskSpace> disks;
    std::uint64_t blocks;
};

void PrintTo(const MaxCase& c, std::ostream* os) { *os << c.description; }

class VolumeLayoutMax : public testing::TestWithParam<MaxCase> {};

TEST_P(VolumeLayoutMax, LargestVolumeOnTheCandidates)
{
    const MaxCase& c = GetParam();
    EXPECT_EQ(VolumeLayout::maxVolumeBlocks(c.layout, c.disks), c.blocks) << c.description;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, VolumeLayoutMax,
    testing::Values(
        MaxCase{"JBOD spans everything", layout(Org::Jbod, 1), kFourDisks, 250},
        MaxCase{"stripe over all four", layout(Org::Stripe, 0), kFourDisks, 80},
        MaxCase{"stripe over the two largest", layout(Org::Stripe, 2), kFourDisks, 160},
        MaxCase{"mirror of the two largest", layout(Org::Mirror, 1), kFourDisks, 80},
        MaxCase{"stripe mirror picks two columns", layout(Org::StripeMirror, 0), kFourDisks, 40},
        MaxCase{"parity of three", layout(Org::Parity, 3), kFourDisks, 100},
        MaxCase{"parity wider than the disks", layout(Org::Parity, 5), kFourDisks, 0},
        MaxCase{"mirror needs two disks", layout(Org::Mirror, 1), {{"d0", 100}}, 0},
        MaxCase{"stripe mirror needs four disks", layout(Org::StripeMirror, 0),
                {{"d0", 10}, {"d1", 10}, {"d2", 10}}, 0},
        MaxCase{"parity of five, smallest disk decides", layout(Org::Parity, 5),
                {{"a", 10}, {"b", 20}, {"c", 30}, {"d", 40}, {"e", 50}}, 40},
        MaxCase{"no disks", layout(Org::Jbod, 1), {}, 0}));

TEST(VolumeLayoutPlan, StripeUsesTheLargestDisksInTheGivenOrder)
{
    LayoutPlan plan;
    ASSERT_EQ(VolumeLayout::plan(layout(Org::Stripe, 3), 100, kFourDisks, plan), ArrayFailure::Ok);
    ASSERT_EQ(plan.extents.size(), 3u);
    EXPECT_EQ(plan.extents[0].diskId, "d0");
    EXPECT_EQ(plan.extents[1].diskId, "d1");
    EXPECT_EQ(plan.extents[2].diskId, "d2");
    for (const ExtentPlan& extent : plan.extents)
        EXPECT_EQ(extent.blocks, 34u);
    EXPECT_EQ(plan.stripeWidth, 3);
}

TEST(VolumeLayoutPlan, JbodFillsDisksInOrder)
{
    LayoutPlan plan;
    ASSERT_EQ(VolumeLayout::plan(layout(Org::Jbod, 1), 120, kFourDisks, plan), ArrayFailure::Ok);
    ASSERT_EQ(plan.extents.size(), 2u);
    EXPECT_EQ(plan.extents[0].blocks, 100u);
    EXPECT_EQ(plan.extents[1].diskId, "d1");
    EXPECT_EQ(plan.extents[1].blocks, 20u);
}

TEST(VolumeLayoutPlan, RefusesWhatDoesNotFit)
{
    LayoutPlan plan;
    EXPECT_EQ(VolumeLayout::plan(layout(Org::Parity, 3), 101, kFourDisks, plan), ArrayFailure::NotEnoughSpace);
    EXPECT_EQ(VolumeLayout::plan(layout(Org::Parity, 3), 100, kFourDisks, plan), ArrayFailure::Ok);
    EXPECT_EQ(VolumeLayout::plan(layout(Org::Stripe, 5), 10, kFourDisks, plan), ArrayFailure::NotEnoughDrives);
    EXPECT_EQ(VolumeLayout::plan(layout(Org::Jbod, 1), 251, kFourDisks, plan), ArrayFailure::NotEnoughSpace);
}

TEST(VolumeLayoutPlan, PlanAndMaximumAgree)
{
    for (Org organization : {Org::Jbod, Org::Stripe, Org::Mirror, Org::StripeMirror, Org::Parity}) {
        const CheckedLayout l = layout(organization, 0);
        const std::uint64_t largest = VolumeLayout::maxVolumeBlocks(l, kFourDisks);
        LayoutPlan plan;
        EXPECT_EQ(VolumeLayout::plan(l, largest, kFourDisks, plan), ArrayFailure::Ok)
            << static_cast<int>(organization);
        EXPECT_NE(VolumeLayout::plan(l, largest + 1, kFourDisks, plan), ArrayFailure::Ok)
            << static_cast<int>(organization);
    }
}

TEST(VolumeLayoutGrow, StripeNeedsTheSameGrowthOnEveryDisk)
{
    const std::vector<ExtentPlan> current{{"d0", 10}, {"d1", 10}};
    std::vector<ExtentPlan> grown;
    EXPECT_EQ(VolumeLayout::grow(Org::Stripe, 2, current, 30, {{"d0", 5}, {"d1", 4}}, grown),
              ArrayFailure::NotEnoughSpace);
    ASSERT_EQ(VolumeLayout::grow(Org::Stripe, 2, current, 30, {{"d0", 5}, {"d1", 5}}, grown), ArrayFailure::Ok);
    EXPECT_EQ(grown[0].blocks, 15u);
    EXPECT_EQ(grown[1].blocks, 15u);
}

TEST(VolumeLayoutGrow, JbodTakesFreeSpaceOfItsDisksInOrder)
{
    std::vector<ExtentPlan> grown;
    ASSERT_EQ(VolumeLayout::grow(Org::Jbod, 1, {{"d0", 10}, {"d1", 5}}, 20, {{"d0", 3}, {"d1", 10}}, grown),
              ArrayFailure::Ok);
    EXPECT_EQ(grown[0].blocks, 13u);
    EXPECT_EQ(grown[1].blocks, 7u);
    EXPECT_EQ(VolumeLayout::grow(Org::Jbod, 1, {{"d0", 10}}, 20, {{"d0", 9}}, grown), ArrayFailure::NotEnoughSpace);
}

// The client library reads the organization back from these properties; this is its rule.
Org organizationFromProperties(const VolumeRedundancy& r)
{
    if (r.extentStripeLength == 1)
        return r.dataRedundancy > 1 ? Org::Mirror : Org::Jbod;
    if (r.dataRedundancy > 1)
        return Org::StripeMirror;
    return r.packageRedundancy == 1 ? Org::Parity : Org::Stripe;
}

TEST(VolumeLayoutRedundancy, ClientsReadTheOrganizationBack)
{
    for (std::uint16_t width : {2, 3, 16}) {
        for (Org organization : {Org::Jbod, Org::Stripe, Org::Mirror, Org::StripeMirror, Org::Parity}) {
            const std::uint16_t w = (organization == Org::Jbod || organization == Org::Mirror) ? 1 : width;
            EXPECT_EQ(organizationFromProperties(VolumeLayout::redundancy(organization, w)), organization)
                << static_cast<int>(organization) << " width " << w;
        }
    }
}

TEST(VolumeLayoutBlocks, RoundsUpToWholeBlocks)
{
    EXPECT_EQ(VolumeLayout::blocksForBytes(0), 0u);
    EXPECT_EQ(VolumeLayout::blocksForBytes(1), 1u);
    EXPECT_EQ(VolumeLayout::blocksForBytes(512), 1u);
    EXPECT_EQ(VolumeLayout::blocksForBytes(513), 2u);
}

} // namespace
} // namespace Merrow::Sim
