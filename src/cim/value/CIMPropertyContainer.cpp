#include "cim/value/CIMPropertyContainer.h"

#include <utility>

#include "cim/value/CIMValueError.h"

namespace cim {
namespace {

// FNV-1a over the ASCII case-folded name, so that names equal as CIMName hash alike.
size_t foldedHash(const CIMName& name) noexcept {
    size_t hash = 14695981039346656037ULL;
    for (const char c : name.getString()) {
        const char folded = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        hash = (hash ^ static_cast<unsigned char>(folded)) * 1099511628211ULL;
    }
    return hash;
}

} // namespace

size_t CIMPropertyContainer::findProperty(const CIMName& name) const noexcept {
    if (m_index.empty()) {
        for (size_t i = 0; i < m_properties.size(); ++i) {
            if (m_properties[i].getName() == name) {
                return i;
            }
        }
        return npos;
    }
    const auto [first, last] = m_index.equal_range(foldedHash(name));
    for (auto it = first; it != last; ++it) {
        if (m_properties[it->second].getName() == name) {
            return it->second;
        }
    }
    return npos;
}

void CIMPropertyContainer::indexProperty(size_t index) {
    if (m_properties.size() < kIndexedFrom) {
        return;
    }
    if (m_index.empty()) {
        rebuildIndex();
        return;
    }
    m_index.emplace(foldedHash(m_properties[index].getName()), index);
}

void CIMPropertyContainer::rebuildIndex() {
    m_index.clear();
    if (m_properties.size() < kIndexedFrom) {
        return;
    }
    m_index.reserve(m_properties.size());
    for (size_t i = 0; i < m_properties.size(); ++i) {
        m_index.emplace(foldedHash(m_properties[i].getName()), i);
    }
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
    indexProperty(m_properties.size() - 1);
}

void CIMPropertyContainer::setPropertyValue(const CIMName& name, CIMValue value) {
    const size_t index = findProperty(name);
    if (index == npos) {
        m_properties.emplace_back(name, std::move(value));
        indexProperty(m_properties.size() - 1);
        return;
    }
    m_properties[index].setValue(std::move(value));
}

void CIMPropertyContainer::removeProperty(size_t index) {
    if (index >= m_properties.size()) {
        throw CIMValueError("property index out of range");
    }
    m_properties.erase(m_properties.begin() + static_cast<std::ptrdiff_t>(index));
    rebuildIndex(); // the indices after the removed one have all moved down
}

} // namespace cim
