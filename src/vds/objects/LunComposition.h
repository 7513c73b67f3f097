// LunComposition: how VDS's LUN requests translate to the array's volume layouts and back.
//
// VDS speaks of a LUN type (simple, span, stripe, mirror, parity, or "default"/"fault
// tolerant"/"not fault tolerant" left to the provider) and of hints (fast crash recovery,
// mostly reads, sequential reads or writes, yankable). The array speaks of a composition
// (JBOD, Stripe, Mirror, StripeMirror, Parity). The rules live here, once, for the
// subsystem's LUN creation and for the LUN's own hints and properties.
#pragma once

#include "platform/vds/VdsTypes.h"
#include "user_agent/base/MerrowUserAgentEnums.h"

#include <cstdint>

class LunComposition {
public:
    using Composition = Merrow::UserAgent::UAEnums::VolumeCompositionName;

    enum Value : std::int32_t {
        kJbod = 1,
        kStripe = 2,
        kMirror = 3,
        kStripeMirror = 4,
        kParity = 5,
    };

    // The composition a LUN of `type` with `hints` gets on the array. Unknown types give
    // Parity, the array's most protective layout.
    static Composition FromHints(VDS_LUN_TYPE type, const VDS_HINTS& hints);

    // The types a LUN can be created or sized with.
    static bool IsCreatableType(VDS_LUN_TYPE type);

    // The hints that describe a volume of `composition` whose stripe width is `stripeWidth`
    // (0 when unknown). False for a composition outside JBOD..Parity.
    static bool HintsOf(const Composition& composition, ULONG stripeWidth, VDS_HINTS& hints);

    // The LUN type a volume of `composition` reports; JBOD is a span once it has more than
    // one extent.
    static VDS_LUN_TYPE LunTypeOf(const Composition& composition, std::size_t extentCount);
};
