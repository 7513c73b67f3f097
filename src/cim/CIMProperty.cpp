#include "cim/CIMProperty.h"

#include "cim/CIMValueError.h"

namespace cim {

CIMProperty::CIMProperty(CIMName name, CIMValue value, CIMName classOrigin, bool propagated,
                         CIMName referenceClassName)
    : m_name(std::move(name)), m_value(std::move(value)), m_classOrigin(std::move(classOrigin)),
      m_propagated(propagated), m_referenceClassName(std::move(referenceClassName)) {}

void CIMProperty::setValue(CIMValue value) {
    if (value.getType() != m_value.getType() || value.isArray() != m_value.isArray()) {
        throw CIMValueError("type mismatch: property " + m_name.getString() + " is " +
                            std::string(cimTypeName(m_value.getType())) +
                            (m_value.isArray() ? "[]" : "") + ", value is " +
                            std::string(cimTypeName(value.getType())) +
                            (value.isArray() ? "[]" : ""));
    }
    m_value = std::move(value);
}

bool operator==(const CIMProperty& a, const CIMProperty& b) {
    return a.m_name == b.m_name && a.m_value == b.m_value && a.m_classOrigin == b.m_classOrigin &&
           a.m_propagated == b.m_propagated && a.m_referenceClassName == b.m_referenceClassName;
}

} // namespace cim
