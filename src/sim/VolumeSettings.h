#pragma once

// A volume's host-facing settings, shown on its CIM_StorageSettingWithHints next to the
// layout: read-only exposure, the write cache's sync flag, tuning for streaming audio,
// read-ahead and the block size presented to hosts. Each starts at the array's default;
// what a client changes through ModifyInstance is kept in the volume's settings map (and so
// in state files and saved configurations). "MaxReadAheadByteCount" is the array's limit and
// read-only.

#include "sim/ArrayState.h"
#include "sim/InstanceBuilder.h"

#include "cim/value/CIMValue.h"

#include <string>

namespace Merrow::Sim {

class VolumeSettings {
public:
    static constexpr std::uint64_t kMaxReadAheadBytes = 4 * 1024 * 1024;

    // Adds every setting, changed or default, to the volume's setting instance.
    static void project(InstanceBuilder& setting, const SimVolume& volume);
    // Stores one changed setting. Throws cim::CIMException: CIM_ERR_NOT_SUPPORTED for a
    // property that is not writable, CIM_ERR_INVALID_PARAMETER for a block size other than
    // 512 or 4096 or a read-ahead above the limit.
    static void apply(SimVolume& volume, const std::string& property, const cim::CIMValue& value);
};

} // namespace Merrow::Sim
