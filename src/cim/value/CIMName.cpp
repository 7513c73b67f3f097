#include "cim/value/CIMName.h"

#include <ostream>

#include "cim/value/CIMTextRules.h"
#include "cim/value/CIMValueError.h"

namespace cim {
namespace {

bool isIdentifierStart(unsigned char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool isIdentifierChar(unsigned char c) noexcept {
    return isIdentifierStart(c) || (c >= '0' && c <= '9');
}

std::string checked(std::string name) {
    if (!name.empty() && !CIMName::legal(name)) {
        throw CIMValueError("illegal CIM name \"" + name + "\"");
    }
    return name;
}

} // namespace

CIMName::CIMName(std::string name) : m_name(checked(std::move(name))) {}

CIMName::CIMName(const char* name) : CIMName(std::string(name ? name : "")) {}

CIMName::CIMName(std::string_view name) : CIMName(std::string(name)) {}

bool CIMName::legal(std::string_view name) noexcept {
    if (name.empty() || !isIdentifierStart(static_cast<unsigned char>(name[0]))) {
        return false;
    }
    bool ascii = true;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (!isIdentifierChar(byte)) {
            return false;
        }
        ascii = ascii && byte < 0x80;
    }
    return ascii || detail::checkText(name);
}

bool operator==(const CIMName& a, const CIMName& b) noexcept {
    return detail::equalNoCase(a.m_name, b.m_name);
}

bool CIMNameLess::operator()(const CIMName& a, const CIMName& b) const noexcept {
    return detail::compareNoCase(a.getString(), b.getString()) < 0;
}

std::ostream& operator<<(std::ostream& os, const CIMName& name) { return os << name.getString(); }

} // namespace cim
