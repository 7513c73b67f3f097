#pragma once

// The JSON form of ArrayState, used for the state file and for the configuration text that
// "ReadPersistenceData" hands out. Reading is strict about types and lenient about missing
// members (they take their defaults), so state files of older versions still load.

#include "sim/ArrayState.h"

#include <nlohmann/json.hpp>

namespace Merrow::Sim {

class ArrayStateJson {
public:
    static constexpr int kFormatVersion = 1;

    static nlohmann::json toJson(const ArrayState& state);
    // Throws nlohmann::json::exception (or std::invalid_argument for an unknown format
    // version) when the text does not describe a state.
    static ArrayState fromJson(const nlohmann::json& json);
};

} // namespace Merrow::Sim
