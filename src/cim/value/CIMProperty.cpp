#include "cim/value/CIMProperty.h"

#include "cim/value/CIMValueError.h"

namespace cim {

namespace {
const CIMName kNullName;
}

CIMProperty::CIMProperty(CIMName name, CIMValue value, CIMName classOrigin, bool propagated,
                         CIMName referenceClassName)
    : m_name(std::move(name)), m_value(std::move(value)) {
    if (!classOrigin.isNull() || propagated || !referenceClassName.isNull()) {
        m_extras = std::make_shared<const Extras>(
            Extras{std::move(classOrigin), propagated, std::move(referenceClassName)});
    }
}

const CIMName& CIMProperty::getClassOrigin() const noexcept {
    return m_extras ? m_extras->classOrigin : kNullName;
}

const CIMName& CIMProperty::getReferenceClassName() const noexcept {
    return m_extras ? m_extras->referenceClassName : kNullName;
}

void CIMProperty::setClassOrigin(CIMName classOrigin) { extras().classOrigin = std::move(classOrigin); }

void CIMProperty::setPropagated(bool propagated) { extras().propagated = propagated; }

// Copies share the extras; a change gets its own copy first.
CIMProperty::Extras& CIMProperty::extras() {
    auto own = m_extras ? std::make_shared<Extras>(*m_extras) : std::make_shared<Extras>();
    Extras& result = *own;
    m_extras = std::move(own);
    return result;
}

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
    return a.m_name == b.m_name && a.m_value == b.m_value &&
           a.getClassOrigin() == b.getClassOrigin() && a.getPropagated() == b.getPropagated() &&
           a.getReferenceClassName() == b.getReferenceClassName();
}

} // namespace cim
