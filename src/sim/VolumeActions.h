#pragma once

// Changes to volumes that several callers share: the extrinsic methods, the jobs that
// finish them and the control API that adds or removes volumes behind a client's back.

#include "sim/ArrayModel.h"
#include "sim/VolumeLayout.h"

#include <string>
#include <vector>

namespace Merrow::Sim {

class VolumeActions {
public:
    // The disks a volume may use: `chosen` when the client named disks, otherwise every
    // online disk of the pool. When `freeing` is given, that volume's own blocks count as
    // free (a reconfiguration may reuse them) and its disks are marked in use.
    static std::vector<DiskSpace> candidates(const ArrayState& state, const std::vector<const SimDisk*>& chosen,
                                             const std::string& poolId, const SimVolume* freeing = nullptr);

    // Turns a plan into extents, keeping the extent ids `reuse` has on the same disks.
    static SimVolumeLayout layoutFrom(ArrayState& state, const CheckedLayout& layout, const LayoutPlan& plan,
                                      std::uint64_t blocks, const SimVolumeLayout* reuse = nullptr);

    // Adds a volume with its target; returns its id.
    static std::string create(ModelTransaction& transaction, const std::string& name, const std::string& poolId,
                              SimVolumeLayout layout, bool ready);
    // The event history's record of a new volume, however it came to be.
    static void recordCreation(ModelTransaction& transaction, const std::string& volumeId, const std::string& name);
    // Deletes a volume with its grants and sessions; its jobs stay, without their owner.
    static void remove(ModelTransaction& transaction, std::string volumeId);

    // The volume's layout grown to `blocks` on the disks it lies on, into `grown`; 0, or the
    // array's failure code when the disks lack the space.
    static std::uint32_t grownLayout(const ArrayState& state, const SimVolume& volume, std::uint64_t blocks,
                                     SimVolumeLayout& grown);
    static bool hasSessions(const ArrayState& state, const std::string& volumeId);
    static bool usesDisk(const ArrayState& state, const std::string& diskId);
};

} // namespace Merrow::Sim
