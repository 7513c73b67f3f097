#pragma once

// Run-time settings of the simulated array that tests and the control class may change
// while it runs. Threads: any; each value is read and written atomically.

#include <atomic>
#include <cstdint>

namespace Merrow::Sim {

struct SimulatorSettings {
    // Volume creation, reconfiguration and growth run as jobs (method result 4096); when
    // off they finish at once (result 0).
    std::atomic<bool> jobsEnabled{true};
    // How long a job takes from 0 to 100 percent.
    std::atomic<std::uint32_t> jobMilliseconds{2000};
    // How long a finished job stays before the array deletes it.
    std::atomic<std::uint32_t> jobKeepMilliseconds{60000};
    std::atomic<std::uint32_t> maxVolumes{16384};
    // How long the array stays down when it restarts.
    std::atomic<std::uint32_t> restartMilliseconds{3000};
    // Whether the creation and deletion of associations are announced; some arrays announce
    // only the objects they link.
    std::atomic<bool> associationIndications{true};
};

} // namespace Merrow::Sim
