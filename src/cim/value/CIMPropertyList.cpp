#include "cim/value/CIMPropertyList.h"

#include "cim/value/CIMValueError.h"

namespace cim {

const std::vector<CIMName>& CIMPropertyList::getNames() const noexcept {
    static const std::vector<CIMName> none;
    return m_names ? *m_names : none;
}

bool CIMPropertyList::includes(const CIMName& name) const noexcept {
    if (!m_names) {
        return true;
    }
    for (const CIMName& candidate : *m_names) {
        if (candidate == name) {
            return true;
        }
    }
    return false;
}

CIMValue CIMPropertyList::toValue() const {
    if (!m_names) {
        return CIMValue(CIMType::String, true);
    }
    std::vector<std::string> names;
    names.reserve(m_names->size());
    for (const CIMName& name : *m_names) {
        names.push_back(name.getString());
    }
    return CIMValue(std::move(names));
}

CIMPropertyList CIMPropertyList::fromValue(const CIMValue& value) {
    if (value.getType() != CIMType::String || !value.isArray()) {
        throw CIMValueError("a property list is a string array");
    }
    if (value.isNull()) {
        return {};
    }
    const auto names = value.get<std::vector<std::string>>();
    std::vector<CIMName> list;
    list.reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        if (!value.isElementNull(i)) {
            list.emplace_back(names[i]);
        }
    }
    return CIMPropertyList(std::move(list));
}

} // namespace cim
