// CIMObject: an instance or a class, as association and query answers return them.
#pragma once

#include <variant>

#include "cim/value/CIMClass.h"
#include "cim/value/CIMInstance.h"

namespace cim {

/// Either an instance or a class. Embedded objects of type Object hold one, and the
/// object-valued results of Associators/References come as a list of them.
class CIMObject {
public:
    CIMObject() = default;
    CIMObject(CIMInstance instance) : m_object(std::move(instance)) {}  // NOLINT
    CIMObject(CIMClass cimClass) : m_object(std::move(cimClass)) {}     // NOLINT

    bool isInstance() const noexcept { return m_object.index() == 0; }
    bool isClass() const noexcept { return m_object.index() == 1; }

    /// Throw CIMValueError when the object is of the other kind.
    const CIMInstance& getInstance() const;
    CIMInstance& getInstance();
    const CIMClass& getClass() const;
    CIMClass& getClass();

    const CIMName& getClassName() const noexcept;
    const CIMObjectPath& getPath() const noexcept;
    void setPath(CIMObjectPath path);
    const CIMPropertyContainer& properties() const noexcept;

    friend bool operator==(const CIMObject& a, const CIMObject& b) { return a.m_object == b.m_object; }

private:
    std::variant<CIMInstance, CIMClass> m_object;
};

} // namespace cim
