#pragma once

// How the simulated array lays a volume out on its disks: which organizations and stripe
// widths it accepts, how much space a volume of a given organization can have on a set of
// disks, and where its leaf extents go.
//
// Space is counted in 512-byte blocks. Each disk of a volume carries one leaf extent of
// the same length, except for JBOD, which concatenates whatever each disk has free:
//
//   organization   disks used        blocks per disk (volume of B blocks)
//   JBOD           1 or more         as much as each disk has, in the given order
//   Stripe         W (2..16)         ceil(B / W)
//   Mirror         2                 B
//   StripeMirror   2 W (W 2..16)     ceil(B / W)
//   Parity         W (2..17)         ceil(B / (W - 1))
//
// A width of 0 lets the array choose: as many of the candidate disks as the organization
// allows. When more disks are offered than needed, disks a volume already uses come first
// (a re-laid-out volume keeps its data disks), then the ones with the most free space (the
// earlier one on a tie), so the largest volume and the chosen disks always agree.

#include <cstdint>
#include <string>
#include <vector>

namespace Merrow::Sim {

enum class VolumeOrganization : std::uint16_t {
    Unknown = 0,
    Jbod = 1,
    Stripe = 2,
    Mirror = 3,
    StripeMirror = 4,
    Parity = 5,
};

// The layout parameters as a client sends them to "CreateVolume" and its siblings.
struct LayoutRequest {
    std::uint16_t organization = 0;
    std::uint16_t stripeWidth = 0;
    std::uint8_t mirrorCount = 0;
    std::uint32_t chunkBytes = 0;
};

// A request the array accepted; stripeWidth 0 still means "choose".
struct CheckedLayout {
    VolumeOrganization organization = VolumeOrganization::Unknown;
    std::uint16_t stripeWidth = 0;
    std::uint32_t chunkBytes = 0;
};

struct DiskSpace {
    std::string diskId;
    std::uint64_t freeBlocks = 0;
    // The volume being re-laid out already uses this disk.
    bool inUse = false;
};

struct ExtentPlan {
    std::string diskId;
    std::uint64_t blocks = 0;
};

struct LayoutPlan {
    // The width the volume ends up with (1 for JBOD and Mirror).
    std::uint16_t stripeWidth = 0;
    std::vector<ExtentPlan> extents;
};

// The redundancy properties a volume of an organization reports; the client library
// derives the organization back from them.
struct VolumeRedundancy {
    std::uint16_t extentStripeLength = 1;
    std::uint16_t dataRedundancy = 1;
    std::uint16_t packageRedundancy = 0;
    bool noSinglePointOfFailure = false;
};

class VolumeLayout {
public:
    static constexpr std::uint64_t kBlockSize = 512;
    static constexpr std::uint32_t kDefaultChunkBytes = 65536;
    static constexpr std::uint32_t kMinChunkBytes = 32768;
    static constexpr std::uint32_t kMaxChunkBytes = 2097152;

    // Checks the parameters against what the array supports. Returns 0 and fills `out`, or
    // the array's failure number. A chunk size of 0 takes the default; one inside the
    // supported range is rounded down to a power of two (clients pass byte counts such as
    // 1000000 that were never meant to be exact).
    static std::uint32_t check(const LayoutRequest& request, CheckedLayout& out);

    static std::uint64_t blocksForBytes(std::uint64_t bytes);

    // The largest volume, in blocks, that the layout allows on the candidate disks.
    static std::uint64_t maxVolumeBlocks(const CheckedLayout& layout,
                                         const std::vector<DiskSpace>& candidates);

    // Places a volume of `volumeBlocks` on the candidates. Returns 0 and fills `out`, or
    // NotEnoughDrives / NotEnoughSpace.
    static std::uint32_t plan(const CheckedLayout& layout, std::uint64_t volumeBlocks,
                              const std::vector<DiskSpace>& candidates, LayoutPlan& out);

    // Grows a laid-out volume in place to `newBlocks` on the disks it already uses. `free`
    // gives the free blocks of each of those disks. Returns 0 and the new extents (same
    // disks, same order), or NotEnoughSpace.
    static std::uint32_t grow(VolumeOrganization organization, std::uint16_t stripeWidth,
                              const std::vector<ExtentPlan>& current, std::uint64_t newBlocks,
                              const std::vector<DiskSpace>& free, std::vector<ExtentPlan>& out);

    static VolumeRedundancy redundancy(VolumeOrganization organization, std::uint16_t stripeWidth);
};

} // namespace Merrow::Sim
