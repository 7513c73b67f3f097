#pragma once

// What the array's own methods ask of its power: a restart (down for the restart time, then
// back) or a shut-down (down until someone powers it on). Power-on brings a shut-down array
// back, or a restarting one back early.

namespace Merrow::Sim {

enum class PowerCycle {
    Restart,
    ShutDown,
    PowerOn,
};

} // namespace Merrow::Sim
