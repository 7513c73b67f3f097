// CIMClass: the parts of a class definition that an association answer can carry.
#pragma once

#include "cim/value/CIMName.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMPropertyContainer.h"

namespace cim {

/// A class: name, superclass and properties (with their default values). Qualifiers and
/// methods are not kept; this product never reads class definitions beyond what an
/// Associators answer on a class may hold.
class CIMClass : public CIMPropertyContainer {
public:
    CIMClass() = default;
    explicit CIMClass(CIMName className, CIMName superClassName = {})
        : m_className(std::move(className)), m_superClassName(std::move(superClassName)) {}

    const CIMName& getClassName() const noexcept { return m_className; }
    void setClassName(CIMName className) { m_className = std::move(className); }
    const CIMName& getSuperClassName() const noexcept { return m_superClassName; }
    void setSuperClassName(CIMName name) { m_superClassName = std::move(name); }
    const CIMObjectPath& getPath() const noexcept { return m_path; }
    void setPath(CIMObjectPath path) { m_path = std::move(path); }

    friend bool operator==(const CIMClass& a, const CIMClass& b);

private:
    CIMName m_className;
    CIMName m_superClassName;
    CIMObjectPath m_path;
};

} // namespace cim
