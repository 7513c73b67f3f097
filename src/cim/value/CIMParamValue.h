// CIMParamValue: a named method parameter and its value.
#pragma once

#include "cim/value/CIMName.h"
#include "cim/value/CIMValue.h"

namespace cim {

/// A method parameter (in or out) with its value. `isTyped` is false when the value was
/// read from CIM-XML without a PARAMTYPE: such a value is read as a string (or string
/// array); convert it with CIMValue::fromText once the expected type is known.
class CIMParamValue {
public:
    CIMParamValue() = default;
    CIMParamValue(CIMName name, CIMValue value, bool isTyped = true)
        : m_name(std::move(name)), m_value(std::move(value)), m_isTyped(isTyped) {}

    const CIMName& getParameterName() const noexcept { return m_name; }
    const CIMValue& getValue() const noexcept { return m_value; }
    void setValue(CIMValue value) { m_value = std::move(value); }
    bool isTyped() const noexcept { return m_isTyped; }

    friend bool operator==(const CIMParamValue& a, const CIMParamValue& b) {
        return a.m_name == b.m_name && a.m_value == b.m_value;
    }

private:
    CIMName m_name;
    CIMValue m_value;
    bool m_isTyped = true;
};

} // namespace cim
