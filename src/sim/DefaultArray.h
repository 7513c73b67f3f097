#pragma once

// The array a simulator starts with when it has no state file: two controllers with four
// data ports each (ports 1 and 2 aggregated, one portal per aggregate), disks in the base
// pool of controller A (the last quarter waits in the available pool), JBOD volumes spread
// over the base disks, registered initiators and three static routes. Everything is
// numbered the same way on every start, so tests can rely on names and ids.

#include "sim/ArrayState.h"

#include <cstdint>
#include <string>

namespace Merrow::Sim {

struct ArrayOptions {
    // The simulator's listen address; it seeds the serial number.
    std::string address = "127.0.0.2";
    // Empty: derived from the address.
    std::string serialNumber;
    // Empty: "Corvane-" and the serial number.
    std::string name;
    std::string firmwareVersion = "2.8.2.2";
    unsigned disks = 8;
    std::uint64_t diskBytes = 600'000'000'000ull;
    unsigned volumes = 2;
    std::uint64_t volumeBytes = 1ull << 30;
    unsigned initiators = 2;
};

class DefaultArray {
public:
    static constexpr unsigned kMaxDisks = 96;
    static constexpr unsigned kPortsPerController = 4;

    // Throws std::invalid_argument with a message for a person when the options cannot
    // describe an array (no disks for the volumes, volumes that do not fit, ...).
    static ArrayState build(const ArrayOptions& options);

    // Adds a disk in the next free slot of the available pool; returns its id.
    static std::string addDisk(ArrayState& state, std::uint64_t bytes);
    // Adds a ready JBOD volume with its target on the base pool's disk with the most free
    // space; returns its id, or empty when no disk has room.
    static std::string addVolume(ArrayState& state, const std::string& name, std::uint64_t bytes,
                                 const std::string& poolId);
    static std::string addInitiator(ArrayState& state, const std::string& name);
    // The target of a new volume, named after it.
    static SimTarget makeTarget(ArrayState& state, const std::string& volumeId, const std::string& name);
    static std::string durableName(const ArrayState& state, const std::string& volumeId);
    // The account every array leaves the factory with: "admin", an administrator.
    static void addFactoryAccount(ArrayState& state);
    // Replaces ports, link aggregates, portals and routes with the factory set.
    static void resetNetwork(ArrayState& state);
};

} // namespace Merrow::Sim
