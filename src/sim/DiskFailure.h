#pragma once

// What the array does about a broken disk: the disk is marked failed, the redundant
// volumes on it run degraded and the others fail. Taking the failed disk out of service
// ("RemoveStorageDevice") makes the array move a spare of its spare pool into the disk's
// place: the spare joins the volumes' pool, takes over the failed disk's extents, and each
// volume rebuilds onto it (a job) before it is healthy again. A failed disk under a volume
// without redundancy cannot be taken out: the volume's data would be gone.

#include "sim/ArrayModel.h"

#include <cstdint>
#include <string>

namespace Merrow::Sim {

class DiskFailure {
public:
    // Marks the disk failed and announces the disk and the volumes on it.
    static void fail(ModelTransaction& transaction, const std::string& diskId);

    // Before a failed disk that volumes use is taken out: finds a spare that holds what the
    // disk held, moves the volumes' extents onto it and starts their rebuilds (or finishes
    // them at once when `withJobs` is false). Ok, DeviceInUse when a volume on the disk
    // has no redundancy, NotEnoughDrives when no spare is big enough.
    static std::uint32_t replaceWithSpare(ModelTransaction& transaction, const std::string& diskId,
                                          bool withJobs, std::int64_t nowMs);

    // The first OperationalStatus element of a volume: Starting while it is created,
    // Error when it lost a disk it cannot do without, Degraded while it misses a disk or
    // rebuilds, OK otherwise.
    static std::uint16_t volumeStatus(const ArrayState& state, const SimVolume& volume);
};

} // namespace Merrow::Sim
