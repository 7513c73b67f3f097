#include "user_agent/base/VolumeCompositionRules.h"

#include <iterator>

namespace Merrow::UserAgent {

namespace {

enum CompositionValue : std::int32_t {
    kUnknown = 0,
    kJbod = 1,
    kStripe = 2,
    kMirror = 3,
    kStripeMirror = 4,
    kParity = 5,
};

// How growth is counted: the N-th largest free space is what each of N disks can add, of
// which m parts in d carry data.
struct GrowthShape {
    std::uint64_t disks;
    std::uint64_t multiplier;
    std::uint64_t divisor;
};

// The array counts stripes below the minimum of a composition as that minimum.
std::uint64_t AtLeast(std::uint16_t stripeLength, std::uint16_t minimum, std::uint16_t lowest) {
    return stripeLength < lowest ? minimum : stripeLength;
}

GrowthShape ShapeOf(std::int32_t composition, std::uint16_t stripeLength) {
    switch (composition) {
    case kStripe:
        return {AtLeast(stripeLength, 2, 3), 1, 1};
    case kMirror:
        return {2, 1, 2};
    case kStripeMirror:
        return {2 * AtLeast(stripeLength, 2, 3), 1, 2};
    case kParity: {
        const std::uint64_t disks = AtLeast(stripeLength, 3, 4);
        return {disks, disks - 1, disks};
    }
    }
    return {0, 0, 1};
}

std::uint64_t SumOf(const VolumeCompositionRules::FreeSpaces& freeSpaces) {
    std::uint64_t sum = 0;
    for (std::uint64_t free : freeSpaces)
        sum += free;
    return sum;
}

} // namespace

MerrowReturnValue VolumeCompositionRules::GetMaxStripeWidth(const Composition& composition,
                                                            std::uint8_t& maxStripeWidth) {
    switch (composition.getValue()) {
    case kJbod:
    case kMirror:
        maxStripeWidth = 1;
        return MerrowReturnValue();
    case kStripe:
    case kStripeMirror:
        maxStripeWidth = 16;
        return MerrowReturnValue();
    case kParity:
        maxStripeWidth = 17;
        return MerrowReturnValue();
    }
    return MerrowReturnValue::UA_E_INVALIDARG;
}

MerrowReturnValue VolumeCompositionRules::CheckStripeWidth(const Composition& composition,
                                                           std::uint8_t& stripeWidth) {
    std::uint8_t maxStripeWidth = 0;
    MerrowReturnValue result = GetMaxStripeWidth(composition, maxStripeWidth);
    if (result.isFailure())
        return result;
    if (composition.getValue() == kJbod || composition.getValue() == kMirror)
        stripeWidth = 1;
    if (stripeWidth > maxStripeWidth)
        return MerrowReturnValue(MerrowReturnValue::UA_E_INVALIDARG, kStripeWidthTooLarge);
    return result;
}

VolumeCompositionRules::Composition
VolumeCompositionRules::FromRedundancy(std::uint16_t stripeLength, std::uint16_t dataRedundancy,
                                       std::uint16_t packageRedundancy) {
    if (stripeLength == 1)
        return Composition(dataRedundancy > 1 ? kMirror : kJbod);
    if (dataRedundancy > 1)
        return Composition(kStripeMirror);
    return Composition(packageRedundancy == 1 ? kParity : kStripe);
}

void VolumeCompositionRules::MaxGrowSize(const Composition& composition,
                                         std::uint16_t stripeLength, const FreeSpaces& freeSpaces,
                                         std::uint64_t& growth) {
    if (composition.getValue() == kJbod) {
        growth = SumOf(freeSpaces);
        return;
    }
    const GrowthShape shape = ShapeOf(composition.getValue(), stripeLength);
    if (shape.disks == 0)
        return;
    if (freeSpaces.size() < shape.disks) {
        growth = 0;
        return;
    }
    const std::uint64_t nthLargest = *std::next(freeSpaces.rbegin(), shape.disks - 1);
    growth = nthLargest * shape.disks * shape.multiplier / shape.divisor;
}

std::uint64_t VolumeCompositionRules::RoundUpToBlock(std::uint64_t bytes) {
    return (bytes + 511) / 512 * 512;
}

} // namespace Merrow::UserAgent
