#include "cim/value/CIMKeyBinding.h"

#include <cmath>
#include <limits>

#include "cim/value/CIMObjectPath.h"
#include "cim/value/CIMScalarText.h"
#include "cim/value/CIMTextRules.h"
#include "cim/value/CIMValue.h"
#include "cim/value/CIMValueError.h"

namespace cim {
namespace {

void checkValueText(const std::string& value, CIMKeyBinding::Type type) {
    const bool ok = type == CIMKeyBinding::Type::Boolean ? detail::readBoolean(value).has_value()
                    : type == CIMKeyBinding::Type::Numeric ? detail::isNumericText(value)
                                                           : true;
    if (!ok) {
        throw CIMValueError("key value \"" + value + "\" does not match its type");
    }
}

bool numbersEqual(const std::string& a, const std::string& b) {
    constexpr int64_t low = std::numeric_limits<int64_t>::min();
    constexpr int64_t high = std::numeric_limits<int64_t>::max();
    const auto signedA = detail::readSigned(a, low, high);
    const auto signedB = detail::readSigned(b, low, high);
    if (signedA && signedB) {
        return *signedA == *signedB;
    }
    const auto unsignedA = detail::readUnsigned(a, std::numeric_limits<uint64_t>::max());
    const auto unsignedB = detail::readUnsigned(b, std::numeric_limits<uint64_t>::max());
    if (unsignedA && unsignedB) {
        return *unsignedA == *unsignedB;
    }
    if (unsignedA || unsignedB || signedA || signedB) {
        return false;
    }
    const auto realA = detail::readReal64(a);
    const auto realB = detail::readReal64(b);
    if (realA && realB) {
        // A key must equal itself, so NaN equals NaN here (as in CIMValue).
        return *realA == *realB || (std::isnan(*realA) && std::isnan(*realB));
    }
    return a == b;
}

CIMKeyBinding::Type keyTypeOf(const CIMValue& value) {
    if (value.isNull() || value.isArray()) {
        throw CIMValueError("a key value must be a non-null scalar");
    }
    switch (value.getType()) {
    case CIMType::Boolean: return CIMKeyBinding::Type::Boolean;
    case CIMType::Uint8:
    case CIMType::Sint8:
    case CIMType::Uint16:
    case CIMType::Sint16:
    case CIMType::Uint32:
    case CIMType::Sint32:
    case CIMType::Uint64:
    case CIMType::Sint64:
    case CIMType::Real32:
    case CIMType::Real64: return CIMKeyBinding::Type::Numeric;
    case CIMType::String:
    case CIMType::Char16:
    case CIMType::DateTime: return CIMKeyBinding::Type::String;
    case CIMType::Reference: return CIMKeyBinding::Type::Reference;
    case CIMType::Object:
    case CIMType::Instance: break;
    }
    throw CIMValueError("an embedded object cannot be a key");
}

} // namespace

CIMKeyBinding::CIMKeyBinding(CIMName name, std::string value, Type type)
    : m_name(std::move(name)), m_type(type) {
    if (type == Type::Reference) {
        auto reference = std::make_shared<const CIMObjectPath>(CIMObjectPath::parse(value));
        m_value = reference->toString();
        m_reference = std::move(reference);
        return;
    }
    checkValueText(value, type);
    m_value = std::move(value);
}

CIMKeyBinding::CIMKeyBinding(CIMName name, const CIMObjectPath& reference)
    : m_name(std::move(name)), m_value(reference.toString()), m_type(Type::Reference),
      m_reference(std::make_shared<const CIMObjectPath>(reference)) {}

CIMKeyBinding::CIMKeyBinding(CIMName name, const CIMValue& value)
    : m_name(std::move(name)), m_type(keyTypeOf(value)) {
    if (m_type == Type::Reference) {
        auto reference = std::make_shared<const CIMObjectPath>(value.get<CIMObjectPath>());
        m_value = reference->toString();
        m_reference = std::move(reference);
        return;
    }
    m_value = value.toString();
}

const CIMObjectPath& CIMKeyBinding::getReference() const {
    if (!m_reference) {
        throw CIMValueError("key " + m_name.getString() + " is not a reference");
    }
    return *m_reference;
}

bool CIMKeyBinding::sameValue(const CIMKeyBinding& other) const {
    if (m_type != other.m_type) {
        return false;
    }
    switch (m_type) {
    case Type::Boolean: return detail::readBoolean(m_value) == detail::readBoolean(other.m_value);
    case Type::Numeric: return numbersEqual(m_value, other.m_value);
    case Type::Reference: return m_reference->identical(*other.m_reference);
    case Type::String: return m_value == other.m_value;
    }
    return false;
}

bool CIMKeyBinding::equal(const CIMKeyBinding& other) const {
    return m_name == other.m_name && sameValue(other);
}

} // namespace cim
