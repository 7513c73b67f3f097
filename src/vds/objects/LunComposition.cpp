#include "vds/objects/LunComposition.h"

namespace {

constexpr ULONGLONG kAllBooleanHints = 0x1FF;
constexpr SHORT kRebuildPriorityMax = 16;

// The hint combinations of the "default" and "fault tolerant" types.
LunComposition::Value FromToleranceHints(VDS_LUN_TYPE type, const VDS_HINTS& hints)
{
    const bool yankable = hints.bIsYankable != FALSE;
    const bool fastRecovery = hints.bFastCrashRecoveryRequired != FALSE;
    const bool mostlyReads = hints.bMostlyReads != FALSE;
    if (yankable && !fastRecovery) {
        const bool sequentialReadsOnly = hints.bOptimizeForSequentialReads != FALSE &&
                                         hints.bOptimizeForSequentialWrites == FALSE;
        if (!sequentialReadsOnly)
            return LunComposition::kStripeMirror;
        return mostlyReads ? LunComposition::kMirror : LunComposition::kParity;
    }
    // Only the provider's own choice may drop redundancy for read speed.
    if (type == VDS_LT_DEFAULT && !yankable && !fastRecovery && mostlyReads)
        return LunComposition::kStripe;
    return LunComposition::kParity;
}

LunComposition::Value ValueFromHints(VDS_LUN_TYPE type, const VDS_HINTS& hints)
{
    switch (type) {
    case VDS_LT_SIMPLE:
    case VDS_LT_SPAN:
        return LunComposition::kJbod;
    case VDS_LT_STRIPE:
        return LunComposition::kStripe;
    case VDS_LT_MIRROR:
        return LunComposition::kMirror;
    case VDS_LT_NON_FAULT_TOLERANT:
        if (hints.bIsYankable != FALSE)
            return LunComposition::kParity;
        return hints.bMostlyReads != FALSE ? LunComposition::kStripe : LunComposition::kJbod;
    case VDS_LT_DEFAULT:
    case VDS_LT_FAULT_TOLERANT:
        return FromToleranceHints(type, hints);
    default:
        return LunComposition::kParity;
    }
}

struct HintRow {
    LunComposition::Value composition;
    bool fastCrashRecovery;
    bool mostlyReads;
    bool sequentialReads;
    bool sequentialWrites;
    bool yankable;
};

constexpr HintRow kHintRows[] = {
    {LunComposition::kJbod, false, false, false, false, false},
    {LunComposition::kStripe, false, true, true, false, false},
    {LunComposition::kMirror, false, false, false, false, true},
    {LunComposition::kStripeMirror, false, true, true, false, true},
    {LunComposition::kParity, true, false, true, true, true},
};

} // namespace

LunComposition::Composition LunComposition::FromHints(VDS_LUN_TYPE type, const VDS_HINTS& hints)
{
    return Composition(ValueFromHints(type, hints));
}

bool LunComposition::IsCreatableType(VDS_LUN_TYPE type)
{
    switch (type) {
    case VDS_LT_DEFAULT:
    case VDS_LT_FAULT_TOLERANT:
    case VDS_LT_NON_FAULT_TOLERANT:
    case VDS_LT_SIMPLE:
    case VDS_LT_SPAN:
    case VDS_LT_STRIPE:
    case VDS_LT_MIRROR:
    case VDS_LT_PARITY:
        return true;
    default:
        return false;
    }
}

bool LunComposition::HintsOf(const Composition& composition, ULONG stripeWidth, VDS_HINTS& hints)
{
    for (const HintRow& row : kHintRows) {
        if (row.composition != composition.getValue())
            continue;
        hints = VDS_HINTS{};
        hints.ullHintMask = kAllBooleanHints;
        hints.ulStripeSize = stripeWidth;
        hints.bFastCrashRecoveryRequired = row.fastCrashRecovery;
        hints.bMostlyReads = row.mostlyReads;
        hints.bOptimizeForSequentialReads = row.sequentialReads;
        hints.bOptimizeForSequentialWrites = row.sequentialWrites;
        hints.bIsYankable = row.yankable;
        hints.sRebuildPriority = kRebuildPriorityMax;
        return true;
    }
    return false;
}

VDS_LUN_TYPE LunComposition::LunTypeOf(const Composition& composition, std::size_t extentCount)
{
    switch (composition.getValue()) {
    case kJbod:
        return extentCount > 1 ? VDS_LT_SPAN : VDS_LT_SIMPLE;
    case kStripe:
        return VDS_LT_STRIPE;
    case kMirror:
        return VDS_LT_MIRROR;
    case kStripeMirror:
        return VDS_LT_FAULT_TOLERANT;
    default:
        return VDS_LT_PARITY;
    }
}
