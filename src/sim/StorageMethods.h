#pragma once

// The volume, pool and disk methods of the storage configuration service. Each returns the
// array's answer: 0 when done, 4096 when a job does the work (the "Job" out-parameter names
// it), or a failure number of the array (ArrayFailure). Checks come before any change, so
// a refused call leaves the array as it was.

#include "sim/MethodCall.h"

#include <cstdint>

namespace Merrow::Sim {

class StorageMethods {
public:
    static std::uint32_t createVolume(MethodCall& call);
    static std::uint32_t reconfigureVolume(MethodCall& call);
    static std::uint32_t getMaximumVolumeSize(MethodCall& call);
    static std::uint32_t createOrModifyElement(MethodCall& call);
    static std::uint32_t returnToStoragePool(MethodCall& call);
    static std::uint32_t getBasePool(MethodCall& call);
    static std::uint32_t getAvailablePool(MethodCall& call);
    static std::uint32_t getSparePool(MethodCall& call);
    static std::uint32_t getUnavailablePool(MethodCall& call);
    static std::uint32_t transferDriveByRef(MethodCall& call);
    static std::uint32_t initializeStorageDevice(MethodCall& call);
    static std::uint32_t removeStorageDevice(MethodCall& call);
    static std::uint32_t scanStorageElement(MethodCall& call);

    // "CreateOrModifyElementFromStoragePool" answers in the standard's numbering for the
    // case clients test for: a size that does not grow the volume.
    static constexpr std::uint32_t kInvalidParameter = 5;
};

} // namespace Merrow::Sim
