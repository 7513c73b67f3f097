// CIMKeyBinding: one key property of an instance path.
#pragma once

#include <memory>
#include <string>

#include "cim/value/CIMName.h"

namespace cim {

class CIMObjectPath;
class CIMValue;

/// One key of an instance path: the key property's name, its value as text and the kind
/// of that text (the VALUETYPE of a CIM-XML KEYVALUE, or a reference).
///
/// A reference key keeps the path it refers to as well as its text form, so a reference
/// read from CIM-XML is written back exactly. The name is null for the unnamed key that
/// some servers send for single-key classes.
class CIMKeyBinding {
public:
    enum class Type { Boolean, String, Numeric, Reference };

    CIMKeyBinding() = default;
    /// For Type::Reference `value` must be an object path in text form; for Boolean
    /// "TRUE"/"FALSE" and for Numeric a number. Throws CIMValueError otherwise.
    CIMKeyBinding(CIMName name, std::string value, Type type);
    CIMKeyBinding(CIMName name, const CIMObjectPath& reference);
    /// The key from a scalar value: booleans, numbers, strings, char16, datetimes and
    /// references. Throws CIMValueError for null, array and embedded values.
    CIMKeyBinding(CIMName name, const CIMValue& value);

    const CIMName& getName() const noexcept { return m_name; }
    void setName(CIMName name) { m_name = std::move(name); }
    const std::string& getValue() const noexcept { return m_value; }
    Type getType() const noexcept { return m_type; }

    /// The referenced path; throws CIMValueError unless the type is Reference.
    const CIMObjectPath& getReference() const;

    /// Same name (case-insensitive), same type and the same value: booleans compare without
    /// case, numbers by value ("0x10" equals "16"), references with
    /// CIMObjectPath::identical, strings exactly.
    bool equal(const CIMKeyBinding& other) const;
    /// The same test without the name.
    bool sameValue(const CIMKeyBinding& other) const;

    friend bool operator==(const CIMKeyBinding& a, const CIMKeyBinding& b) { return a.equal(b); }

private:
    CIMName m_name;
    std::string m_value;
    Type m_type = Type::String;
    std::shared_ptr<const CIMObjectPath> m_reference;
};

} // namespace cim
