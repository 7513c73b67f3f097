#include "sim/VolumeLayout.h"

#include "sim/ArrayFailureCodes.h"

#include <algorithm>
#include <numeric>

namespace Merrow::Sim {

namespace {

struct WidthRange {
    std::uint16_t min;
    std::uint16_t max;
};

WidthRange widthRange(VolumeOrganization organization)
{
    switch (organization) {
    case VolumeOrganization::Stripe:
        return {2, 16};
    case VolumeOrganization::StripeMirror:
        return {2, 16};
    case VolumeOrganization::Parity:
        return {2, 17};
    case VolumeOrganization::Jbod:
    case VolumeOrganization::Mirror:
    case VolumeOrganization::Unknown:
        break;
    }
    return {1, 1};
}

bool isMirrored(VolumeOrganization organization)
{
    return organization == VolumeOrganization::Mirror ||
           organization == VolumeOrganization::StripeMirror;
}

std::uint32_t checkChunk(std::uint32_t requested, std::uint32_t& chunk)
{
    if (requested == 0) {
        chunk = VolumeLayout::kDefaultChunkBytes;
        return ArrayFailure::Ok;
    }
    if (requested < VolumeLayout::kMinChunkBytes || requested > VolumeLayout::kMaxChunkBytes)
        return ArrayFailure::ChunkSizeNotAllowed;
    chunk = VolumeLayout::kMinChunkBytes;
    while (chunk * 2 <= requested)
        chunk *= 2;
    return ArrayFailure::Ok;
}

std::size_t disksFor(VolumeOrganization organization, std::uint16_t width)
{
    switch (organization) {
    case VolumeOrganization::Mirror:
        return 2;
    case VolumeOrganization::StripeMirror:
        return 2u * width;
    case VolumeOrganization::Stripe:
    case VolumeOrganization::Parity:
        return width;
    case VolumeOrganization::Jbod:
    case VolumeOrganization::Unknown:
        break;
    }
    return 1;
}

// How many disks' worth of user data one row of the layout holds.
std::uint64_t dataDisksFor(VolumeOrganization organization, std::uint16_t width)
{
    switch (organization) {
    case VolumeOrganization::Stripe:
    case VolumeOrganization::StripeMirror:
        return width;
    case VolumeOrganization::Parity:
        return width - 1u;
    case VolumeOrganization::Mirror:
    case VolumeOrganization::Jbod:
    case VolumeOrganization::Unknown:
        break;
    }
    return 1;
}

// The width to use on `candidates` disks; 0 when they are too few.
std::uint16_t resolveWidth(const CheckedLayout& layout, std::size_t candidates)
{
    const WidthRange range = widthRange(layout.organization);
    std::size_t width = layout.stripeWidth;
    if (width == 0) {
        const std::size_t perColumn = isMirrored(layout.organization) ? 2 : 1;
        width = std::min<std::size_t>(candidates / perColumn, range.max);
        if (layout.organization == VolumeOrganization::Mirror)
            width = 1;
    }
    if (width < range.min || disksFor(layout.organization, static_cast<std::uint16_t>(width)) > candidates)
        return 0;
    return static_cast<std::uint16_t>(width);
}

// `count` candidates, those in use first, then those with the most free space; kept in the
// order they were given.
std::vector<DiskSpace> chooseDisks(const std::vector<DiskSpace>& candidates, std::size_t count)
{
    std::vector<std::size_t> order(candidates.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (candidates[a].inUse != candidates[b].inUse)
            return candidates[a].inUse;
        return candidates[a].freeBlocks > candidates[b].freeBlocks;
    });
    order.resize(count);
    std::sort(order.begin(), order.end());
    std::vector<DiskSpace> chosen;
    chosen.reserve(count);
    for (std::size_t index : order)
        chosen.push_back(candidates[index]);
    return chosen;
}

std::uint64_t smallestFree(const std::vector<DiskSpace>& disks)
{
    std::uint64_t smallest = UINT64_MAX;
    for (const DiskSpace& disk : disks)
        smallest = std::min(smallest, disk.freeBlocks);
    return disks.empty() ? 0 : smallest;
}

std::uint64_t totalFree(const std::vector<DiskSpace>& disks)
{
    std::uint64_t total = 0;
    for (const DiskSpace& disk : disks)
        total += disk.freeBlocks;
    return total;
}

std::uint32_t planConcatenated(std::uint64_t volumeBlocks, const std::vector<DiskSpace>& candidates,
                               LayoutPlan& out)
{
    if (totalFree(candidates) < volumeBlocks)
        return ArrayFailure::NotEnoughSpace;
    std::uint64_t remaining = volumeBlocks;
    for (const DiskSpace& disk : candidates) {
        if (remaining == 0)
            break;
        const std::uint64_t take = std::min(remaining, disk.freeBlocks);
        if (take == 0)
            continue;
        out.extents.push_back({disk.diskId, take});
        remaining -= take;
    }
    out.stripeWidth = 1;
    return ArrayFailure::Ok;
}

std::uint64_t freeOn(const std::vector<DiskSpace>& free, const std::string& diskId)
{
    for (const DiskSpace& disk : free) {
        if (disk.diskId == diskId)
            return disk.freeBlocks;
    }
    return 0;
}

} // namespace

std::uint32_t VolumeLayout::check(const LayoutRequest& request, CheckedLayout& out)
{
    if (request.organization < static_cast<std::uint16_t>(VolumeOrganization::Jbod) ||
        request.organization > static_cast<std::uint16_t>(VolumeOrganization::Parity))
        return ArrayFailure::UnknownOrganization;
    const auto organization = static_cast<VolumeOrganization>(request.organization);

    std::uint32_t chunk = 0;
    if (std::uint32_t failure = checkChunk(request.chunkBytes, chunk))
        return failure;

    const WidthRange range = widthRange(organization);
    const bool widthOk = request.stripeWidth == 0 ||
                         (request.stripeWidth >= range.min && request.stripeWidth <= range.max);
    if (!widthOk)
        return ArrayFailure::InvalidStripeCount;

    // Mirrored organizations keep exactly two copies; the others accept the 0, 1 or 2 that
    // clients send without thinking about it.
    const bool mirrorOk = isMirrored(organization) ? (request.mirrorCount == 0 || request.mirrorCount == 2)
                                                   : request.mirrorCount <= 2;
    if (!mirrorOk)
        return ArrayFailure::InvalidMirrorCount;

    out.organization = organization;
    out.stripeWidth = range.max == 1 ? 1 : request.stripeWidth;
    out.chunkBytes = chunk;
    return ArrayFailure::Ok;
}

std::uint64_t VolumeLayout::blocksForBytes(std::uint64_t bytes)
{
    return bytes / kBlockSize + (bytes % kBlockSize != 0 ? 1 : 0);
}

std::uint64_t VolumeLayout::maxVolumeBlocks(const CheckedLayout& layout,
                                            const std::vector<DiskSpace>& candidates)
{
    if (layout.organization == VolumeOrganization::Jbod)
        return totalFree(candidates);
    const std::uint16_t width = resolveWidth(layout, candidates.size());
    if (width == 0)
        return 0;
    const auto chosen = chooseDisks(candidates, disksFor(layout.organization, width));
    return smallestFree(chosen) * dataDisksFor(layout.organization, width);
}

std::uint32_t VolumeLayout::plan(const CheckedLayout& layout, std::uint64_t volumeBlocks,
                                 const std::vector<DiskSpace>& candidates, LayoutPlan& out)
{
    out = {};
    if (layout.organization == VolumeOrganization::Jbod)
        return planConcatenated(volumeBlocks, candidates, out);

    const std::uint16_t width = resolveWidth(layout, candidates.size());
    if (width == 0)
        return ArrayFailure::NotEnoughDrives;
    const auto chosen = chooseDisks(candidates, disksFor(layout.organization, width));
    const std::uint64_t dataDisks = dataDisksFor(layout.organization, width);
    const std::uint64_t perDisk = volumeBlocks / dataDisks + (volumeBlocks % dataDisks != 0 ? 1 : 0);
    if (perDisk > smallestFree(chosen))
        return ArrayFailure::NotEnoughSpace;
    for (const DiskSpace& disk : chosen)
        out.extents.push_back({disk.diskId, perDisk});
    out.stripeWidth = width;
    return ArrayFailure::Ok;
}

std::uint32_t VolumeLayout::grow(VolumeOrganization organization, std::uint16_t stripeWidth,
                                 const std::vector<ExtentPlan>& current, std::uint64_t newBlocks,
                                 const std::vector<DiskSpace>& free, std::vector<ExtentPlan>& out)
{
    out = current;
    if (organization == VolumeOrganization::Jbod) {
        std::uint64_t have = 0;
        for (const ExtentPlan& extent : current)
            have += extent.blocks;
        std::uint64_t missing = newBlocks > have ? newBlocks - have : 0;
        for (ExtentPlan& extent : out) {
            const std::uint64_t take = std::min(missing, freeOn(free, extent.diskId));
            extent.blocks += take;
            missing -= take;
        }
        return missing == 0 ? ArrayFailure::Ok : ArrayFailure::NotEnoughSpace;
    }

    const std::uint64_t dataDisks = dataDisksFor(organization, stripeWidth);
    const std::uint64_t perDisk = newBlocks / dataDisks + (newBlocks % dataDisks != 0 ? 1 : 0);
    for (ExtentPlan& extent : out) {
        if (perDisk <= extent.blocks)
            continue;
        if (perDisk - extent.blocks > freeOn(free, extent.diskId))
            return ArrayFailure::NotEnoughSpace;
        extent.blocks = perDisk;
    }
    return ArrayFailure::Ok;
}

VolumeRedundancy VolumeLayout::redundancy(VolumeOrganization organization, std::uint16_t stripeWidth)
{
    switch (organization) {
    case VolumeOrganization::Mirror:
        return {1, 2, 1, true};
    case VolumeOrganization::Stripe:
        return {stripeWidth, 1, 0, false};
    case VolumeOrganization::StripeMirror:
        return {stripeWidth, 2, 1, true};
    case VolumeOrganization::Parity:
        return {stripeWidth, 1, 1, true};
    case VolumeOrganization::Jbod:
    case VolumeOrganization::Unknown:
        break;
    }
    return {1, 1, 0, false};
}

} // namespace Merrow::Sim
