// CIMProperty: a named, typed value of an instance or class.
#pragma once

#include <memory>

#include "cim/value/CIMName.h"
#include "cim/value/CIMValue.h"

namespace cim {

/// A property: name, value (which carries the type, arrayness and nullness), and the
/// optional class origin, propagated flag and, for references, the reference class.
/// A property of type Object or Instance is an embedded object (EmbeddedObject on the wire).
class CIMProperty {
public:
    CIMProperty() = default;
    CIMProperty(CIMName name, CIMValue value, CIMName classOrigin = {}, bool propagated = false,
                CIMName referenceClassName = {});

    const CIMName& getName() const noexcept { return m_name; }
    void setName(CIMName name) { m_name = std::move(name); }
    const CIMValue& getValue() const noexcept { return m_value; }
    /// Replaces the value; the new value must have the property's type and arrayness
    /// (CIMValueError otherwise). A null value of that type is fine.
    void setValue(CIMValue value);

    CIMType getType() const noexcept { return m_value.getType(); }
    bool isArray() const noexcept { return m_value.isArray(); }
    bool isEmbeddedObject() const noexcept { return isEmbeddedType(m_value.getType()); }

    /// Null when not given.
    const CIMName& getClassOrigin() const noexcept;
    void setClassOrigin(CIMName classOrigin);
    bool getPropagated() const noexcept { return m_extras && m_extras->propagated; }
    void setPropagated(bool propagated);
    /// REFERENCECLASS of a reference property; null when not given.
    const CIMName& getReferenceClassName() const noexcept;

    friend bool operator==(const CIMProperty& a, const CIMProperty& b);

private:
    // Rarely set, so kept out of line: a decoded response holds many properties.
    struct Extras {
        CIMName classOrigin;
        bool propagated = false;
        CIMName referenceClassName;
    };
    Extras& extras();

    CIMName m_name;
    CIMValue m_value;
    std::shared_ptr<const Extras> m_extras;
};

} // namespace cim
