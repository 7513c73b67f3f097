#pragma once

// Builds the instances the model projects, one property after the other:
//
//   InstanceBuilder("CIM_StoragePool").set("InstanceID", id).set("Primordial", true).build()
//
// The C++ type of each value decides the CIM type (std::uint16_t gives uint16 and so on),
// so callers spell integer types out.

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMValue.h"

#include <string>

namespace Merrow::Sim {

class InstanceBuilder {
public:
    explicit InstanceBuilder(const char* className);

    InstanceBuilder& set(const char* name, cim::CIMValue value);
    InstanceBuilder& set(const char* name, const std::string& value) { return set(name, cim::CIMValue(value)); }
    InstanceBuilder& set(const char* name, const char* value) { return set(name, cim::CIMValue(std::string(value))); }

    cim::CIMInstance build() { return std::move(m_instance); }

private:
    cim::CIMInstance m_instance;
};

} // namespace Merrow::Sim
