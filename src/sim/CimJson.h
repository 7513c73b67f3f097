#pragma once

// CIM values and instances as JSON, for what the simulator keeps in its state file in CIM
// form: the indication handlers, filters and subscriptions clients created, and the
// property values clients changed on settings objects.
//
//   value:    {"type": "uint16", "array": false, "value": 5}   (value null for a null value)
//   instance: {"class": "CIM_IndicationFilter", "properties": [{"name": "Query", ...value}]}
//
// Datetimes and references are kept in their text forms, embedded instances as nested
// instances.

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMValue.h"

#include <nlohmann/json.hpp>

namespace Merrow::Sim {

class CimJson {
public:
    static nlohmann::json valueToJson(const cim::CIMValue& value);
    // Throws std::invalid_argument (or a cim or nlohmann exception) for JSON that is not a
    // value in the form above.
    static cim::CIMValue valueFromJson(const nlohmann::json& json);

    static nlohmann::json instanceToJson(const cim::CIMInstance& instance);
    static cim::CIMInstance instanceFromJson(const nlohmann::json& json);
};

} // namespace Merrow::Sim
