// CIMInstance: a CIM instance with its properties and, when known, its path.
#pragma once

#include "cim/value/CIMName.h"
#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMPropertyContainer.h"

namespace cim {

/// An instance: class name, properties in order (see CIMPropertyContainer for lookup and
/// change) and its object path, which is null unless the instance came with one (a named
/// instance, an object with path) or the caller set it.
class CIMInstance : public CIMPropertyContainer {
public:
    CIMInstance() = default;
    explicit CIMInstance(CIMName className) : m_className(std::move(className)) {}

    const CIMName& getClassName() const noexcept { return m_className; }
    void setClassName(CIMName className) { m_className = std::move(className); }
    const CIMObjectPath& getPath() const noexcept { return m_path; }
    void setPath(CIMObjectPath path) { m_path = std::move(path); }

    /// A CIMInstance() that nobody filled (no class name).
    bool isUninitialized() const noexcept { return m_className.isNull(); }

    /// Same class (case-insensitive), identical paths and equal properties in the same order.
    friend bool operator==(const CIMInstance& a, const CIMInstance& b);

private:
    CIMName m_className;
    CIMObjectPath m_path;
};

} // namespace cim
