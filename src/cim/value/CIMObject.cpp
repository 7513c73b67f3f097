#include "cim/value/CIMObject.h"

#include <utility>

#include "cim/value/CIMValueError.h"

namespace cim {

const CIMInstance& CIMObject::getInstance() const {
    if (!isInstance()) {
        throw CIMValueError("object is a class, not an instance");
    }
    return std::get<CIMInstance>(m_object);
}

CIMInstance& CIMObject::getInstance() {
    return const_cast<CIMInstance&>(std::as_const(*this).getInstance());
}

const CIMClass& CIMObject::getClass() const {
    if (!isClass()) {
        throw CIMValueError("object is an instance, not a class");
    }
    return std::get<CIMClass>(m_object);
}

CIMClass& CIMObject::getClass() { return const_cast<CIMClass&>(std::as_const(*this).getClass()); }

const CIMName& CIMObject::getClassName() const noexcept {
    return std::visit([](const auto& object) -> const CIMName& { return object.getClassName(); },
                      m_object);
}

const CIMObjectPath& CIMObject::getPath() const noexcept {
    return std::visit([](const auto& object) -> const CIMObjectPath& { return object.getPath(); },
                      m_object);
}

void CIMObject::setPath(CIMObjectPath path) {
    std::visit([&path](auto& object) { object.setPath(std::move(path)); }, m_object);
}

const CIMPropertyContainer& CIMObject::properties() const noexcept {
    return std::visit(
        [](const auto& object) -> const CIMPropertyContainer& { return object; }, m_object);
}

} // namespace cim
