#pragma once

// Array-wide methods of the storage configuration service: shutdown and restart, controller
// failover, the notification test and the configuration export and import.

#include "sim/MethodCall.h"

#include <cstdint>

namespace Merrow::Sim {

class SystemMethods {
public:
    // A restart or shutdown request ends every iSCSI session (hosts reconnect afterwards).
    // Once the answer is out the array goes down: every connection drops and new ones are
    // refused, after a restart for the restart time, after a shut-down until it is powered
    // on again (SimulatorControl::powerOn).
    static std::uint32_t initiateShutdown(MethodCall& call);
    // The other controller takes over management: the ping object's "SlotId" changes.
    static std::uint32_t forceControllerFailover(MethodCall& call);
    static std::uint32_t testNotifications(MethodCall& call);
    static std::uint32_t readPersistenceData(MethodCall& call);
    static std::uint32_t writePersistenceData(MethodCall& call);

    // Moves management to the other controller; shared with the control API.
    static void failover(ModelTransaction& transaction);
};

} // namespace Merrow::Sim
