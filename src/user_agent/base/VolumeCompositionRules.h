#pragma once

#include "user_agent/base/MerrowReturnValue.h"
#include "user_agent/base/MerrowUserAgentEnums.h"

#include <cstdint>
#include <set>

namespace Merrow::UserAgent {

// What a volume composition allows and implies, in one place: the widest stripe it takes,
// the stripe width actually sent, how the array's redundancy properties name a composition,
// and how much a volume can grow over disks with a given free space. Sizes are bytes.
class VolumeCompositionRules {
public:
    using Composition = UAEnums::VolumeCompositionName;
    // Free bytes of each candidate disk, ordered; equal values are kept.
    using FreeSpaces = std::multiset<std::uint64_t>;

    // UA_E_INVALIDARG for a composition that cannot be chosen (UNKNOWN or out of range).
    static MerrowReturnValue GetMaxStripeWidth(const Composition& composition,
                                               std::uint8_t& maxStripeWidth);
    // The width a request carries: JBOD and Mirror are always 1 wide. UA_E_INVALIDARG, with
    // the message callers show, for a width above the composition's maximum.
    static MerrowReturnValue CheckStripeWidth(const Composition& composition,
                                              std::uint8_t& stripeWidth);

    // The composition of an existing volume from its "ExtentStripeLength", "DataRedundancy"
    // and "PackageRedundancy".
    static Composition FromRedundancy(std::uint16_t stripeLength, std::uint16_t dataRedundancy,
                                      std::uint16_t packageRedundancy);

    // The largest growth of a volume of `composition` whose setting has `stripeLength`, over
    // candidate disks with `freeSpaces`; 0 when there are too few candidates. UNKNOWN leaves
    // `growth` as it was.
    static void MaxGrowSize(const Composition& composition, std::uint16_t stripeLength,
                            const FreeSpaces& freeSpaces, std::uint64_t& growth);

    // Sizes handed out and sent are whole 512-byte blocks.
    static std::uint64_t RoundUpToBlock(std::uint64_t bytes);

    static constexpr const char* kStripeWidthTooLarge =
        "StripeWidth exceeds maximum for VolumeComposition selected";
};

} // namespace Merrow::UserAgent
