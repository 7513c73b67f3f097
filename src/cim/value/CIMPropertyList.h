// CIMPropertyList: which properties a request asks for.
#pragma once

#include <optional>
#include <vector>

#include "cim/value/CIMName.h"
#include "cim/value/CIMValue.h"

namespace cim {

/// The PropertyList parameter of GetInstance, EnumerateInstances, ModifyInstance and the
/// association requests. A null list (the default) means all properties and is not sent;
/// an empty list means no properties at all.
class CIMPropertyList {
public:
    CIMPropertyList() = default;
    CIMPropertyList(std::vector<CIMName> names) : m_names(std::move(names)) {}  // NOLINT

    bool isNull() const noexcept { return !m_names.has_value(); }
    void clear() noexcept { m_names.reset(); }
    size_t size() const noexcept { return m_names ? m_names->size() : 0; }
    const CIMName& operator[](size_t index) const { return m_names.value().at(index); }
    /// The names; empty for a null list.
    const std::vector<CIMName>& getNames() const noexcept;
    /// True when the list is null or names the property.
    bool includes(const CIMName& name) const noexcept;

    /// The list as a string array value (null value for a null list), as the PropertyList
    /// parameter carries it.
    CIMValue toValue() const;
    /// The list from a PropertyList parameter value: a null value gives a null list; null
    /// elements are dropped. Throws CIMValueError for a value that is not a string array or
    /// holds an illegal name.
    static CIMPropertyList fromValue(const CIMValue& value);

    friend bool operator==(const CIMPropertyList& a, const CIMPropertyList& b) {
        return a.m_names == b.m_names;
    }

private:
    std::optional<std::vector<CIMName>> m_names;
};

} // namespace cim
