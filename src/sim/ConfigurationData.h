#pragma once

// The array's configuration as one opaque text, as "ReadPersistenceData" exports it and
// "WritePersistenceData" imports it: the array name and settings, volumes with their
// targets, initiators, access grants and the network. Disks are hardware and stay as they
// are; live sessions end when a configuration is written, as they would on a restart.
//
// Answers of an import: 1 when the data changes what the array sets up only when it starts
// (the volumes with their targets, the Ethernet ports, link aggregates, portals and routes,
// the management port settings): it must restart to take them; 2 when only what it
// changes while running differs (names, initiators, access grants, protocol settings) or
// nothing does, and the configuration is in place with nothing more needed;
// otherwise a failure number: 22 for text that is not a configuration, 23 for a
// conditional replace with data from another chassis, 24 for an unknown setting or data
// that does not fit this array's disks. Resetting to factory defaults always asks for a
// restart.

#include "sim/ArrayModel.h"

#include <cstdint>
#include <string>

namespace Merrow::Sim {

namespace PersistenceSetting {
inline constexpr std::uint16_t FactoryDefault = 2;
inline constexpr std::uint16_t MostlyDefault = 3;
inline constexpr std::uint16_t Replace = 4;
inline constexpr std::uint16_t ConditionalReplace = 5;
} // namespace PersistenceSetting

class ConfigurationData {
public:
    static constexpr std::uint32_t kAppliedRestartNeeded = 1;
    static constexpr std::uint32_t kApplied = 2;

    static std::string exportText(const ArrayState& state);
    static std::uint32_t import(ModelTransaction& transaction, const std::string& text, std::uint16_t setting);

private:
    static std::uint32_t resetToDefaults(ModelTransaction& transaction, bool keepManagementPort);
    static std::uint32_t replace(ModelTransaction& transaction, const std::string& text, bool onlySameChassis);
    static bool fitsDisks(const ArrayState& state);
    static bool restartNeeded(const ArrayState& before, const ArrayState& after);
};

} // namespace Merrow::Sim
