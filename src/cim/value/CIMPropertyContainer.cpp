#include "cim/value/CIMPropertyContainer.h"

#include <utility>

#include "cim/value/CIMValueError.h"

namespace cim {

size_t CIMPropertyContainer::findProperty(const CIMName& name) const noexcept {
    for (size_t i = 0; i < m_properties.size(); ++i) {
        if (m_properties[i].getName() == name) {
            return i;
        }
    }
    return npos;
}

const CIMProperty& CIMPropertyContainer::getProperty(const CIMName& name) const {
    const size_t index = findProperty(name);
    if (index == npos) {
        throw CIMValueError("no property " + name.getString());
    }
    return m_properties[index];
}

CIMProperty& CIMPropertyContainer::getProperty(const CIMName& name) {
    return const_cast<CIMProperty&>(std::as_const(*this).getProperty(name));
}

const CIMValue& CIMPropertyContainer::getPropertyValue(const CIMName& name) const {
    return getProperty(name).getValue();
}

void CIMPropertyContainer::addProperty(CIMProperty property) {
    if (hasProperty(property.getName())) {
        throw CIMValueError("duplicate property " + property.getName().getString());
    }
    m_properties.push_back(std::move(property));
}

void CIMPropertyContainer::setPropertyValue(const CIMName& name, CIMValue value) {
    const size_t index = findProperty(name);
    if (index == npos) {
        m_properties.emplace_back(name, std::move(value));
        return;
    }
    m_properties[index].setValue(std::move(value));
}

void CIMPropertyContainer::removeProperty(size_t index) {
    if (index >= m_properties.size()) {
        throw CIMValueError("property index out of range");
    }
    m_properties.erase(m_properties.begin() + static_cast<std::ptrdiff_t>(index));
}

} // namespace cim
