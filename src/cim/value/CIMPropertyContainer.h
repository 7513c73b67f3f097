// Ordered, case-insensitively named property list shared by CIMInstance and CIMClass.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "cim/value/CIMProperty.h"

namespace cim {

/// Properties in the order they were added, at most one per name (case-insensitive).
/// Look-ups by name take constant time on average however many properties there are, so
/// that reading an instance of n properties (each checked for a duplicate) takes time in
/// proportion to n. A property must not be renamed through the reference getProperty()
/// gives; remove it and add it under its new name instead.
class CIMPropertyContainer {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    size_t getPropertyCount() const noexcept { return m_properties.size(); }
    const CIMProperty& getProperty(size_t index) const { return m_properties.at(index); }
    CIMProperty& getProperty(size_t index) { return m_properties.at(index); }
    const std::vector<CIMProperty>& getProperties() const noexcept { return m_properties; }

    /// Index of the property of that name, or npos.
    size_t findProperty(const CIMName& name) const noexcept;
    bool hasProperty(const CIMName& name) const noexcept { return findProperty(name) != npos; }
    /// The property of that name; throws CIMValueError when there is none.
    const CIMProperty& getProperty(const CIMName& name) const;
    CIMProperty& getProperty(const CIMName& name);
    /// Throws CIMValueError when there is no such property.
    const CIMValue& getPropertyValue(const CIMName& name) const;

    /// Appends a property; throws CIMValueError when one of that name exists.
    void addProperty(CIMProperty property);
    /// Replaces the value of the named property (its type must match, see
    /// CIMProperty::setValue) or appends a new property when there is none.
    void setPropertyValue(const CIMName& name, CIMValue value);
    void removeProperty(size_t index);
    void reserveProperties(size_t count) { m_properties.reserve(count); }

    /// From this many properties on, names are found through a hash index; below it a
    /// scan of the few names is cheaper than keeping one.
    static constexpr size_t kIndexedFrom = 16;

    friend bool operator==(const CIMPropertyContainer& a, const CIMPropertyContainer& b) {
        return a.m_properties == b.m_properties;
    }

private:
    void indexProperty(size_t index);
    void rebuildIndex();

    std::vector<CIMProperty> m_properties;
    // Case-folded hash of a name -> index of the property; empty below kIndexedFrom.
    std::unordered_multimap<size_t, size_t> m_index;
};

} // namespace cim
