#include "cim/value/CIMNamespaceName.h"

#include <ostream>

#include "cim/value/CIMName.h"
#include "cim/value/CIMTextRules.h"
#include "cim/value/CIMValueError.h"

namespace cim {
namespace {

std::string normalised(std::string_view name) {
    if (name.starts_with('/')) {
        name.remove_prefix(1);
    }
    if (!name.empty() && !CIMNamespaceName::legal(name)) {
        throw CIMValueError("illegal CIM namespace name \"" + std::string(name) + "\"");
    }
    return std::string(name);
}

} // namespace

CIMNamespaceName::CIMNamespaceName(std::string name) : m_name(normalised(name)) {}

CIMNamespaceName::CIMNamespaceName(const char* name)
    : CIMNamespaceName(std::string(name ? name : "")) {}

CIMNamespaceName::CIMNamespaceName(std::string_view name) : m_name(normalised(name)) {}

std::vector<std::string_view> CIMNamespaceName::components() const {
    std::vector<std::string_view> parts;
    std::string_view rest = m_name;
    while (!rest.empty()) {
        const size_t slash = rest.find('/');
        parts.push_back(rest.substr(0, slash));
        if (slash == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(slash + 1);
    }
    return parts;
}

bool CIMNamespaceName::legal(std::string_view name) noexcept {
    if (name.empty()) {
        return false;
    }
    for (;;) {
        const size_t slash = name.find('/');
        if (!CIMName::legal(name.substr(0, slash))) {
            return false;
        }
        if (slash == std::string_view::npos) {
            return true;
        }
        name.remove_prefix(slash + 1);
    }
}

bool operator==(const CIMNamespaceName& a, const CIMNamespaceName& b) noexcept {
    return detail::equalNoCase(a.m_name, b.m_name);
}

std::ostream& operator<<(std::ostream& os, const CIMNamespaceName& name) {
    return os << name.getString();
}

} // namespace cim
