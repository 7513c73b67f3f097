#include "cim/value/CIMObjectPath.h"

#include <ostream>

#include "cim/value/CIMObjectPathParser.h"
#include "cim/value/CIMTextRules.h"
#include "cim/value/CIMValueError.h"

namespace cim {
namespace {

void appendQuoted(std::string& out, std::string_view value) {
    out.push_back('"');
    for (const char c : value) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

void appendKeyValue(std::string& out, const CIMKeyBinding& key) {
    switch (key.getType()) {
    case CIMKeyBinding::Type::String:
    case CIMKeyBinding::Type::Reference:
        appendQuoted(out, key.getValue());
        return;
    case CIMKeyBinding::Type::Boolean:
    case CIMKeyBinding::Type::Numeric:
        out += key.getValue();
        return;
    }
}

bool isHostCharacter(char c) noexcept {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && c != '/' && c != '"' && c != '\\' && c != 0x7F;
}

} // namespace

CIMObjectPath::CIMObjectPath(std::string host, CIMNamespaceName nameSpace, CIMName className,
                             std::vector<CIMKeyBinding> keyBindings)
    : m_nameSpace(std::move(nameSpace)), m_className(std::move(className)),
      m_keyBindings(std::move(keyBindings)) {
    setHost(std::move(host));
}

CIMObjectPath::CIMObjectPath(std::string_view text) : CIMObjectPath(parse(text)) {}

CIMObjectPath CIMObjectPath::parse(std::string_view text) {
    detail::CIMObjectPathParser parser(text);
    auto path = parser.parse();
    if (!path) {
        throw CIMValueError(parser.error());
    }
    return std::move(*path);
}

std::string CIMObjectPath::toString() const {
    std::string out;
    if (!m_host.empty()) {
        out += "//";
        out += m_host;
        out += '/';
    }
    if (!m_nameSpace.isNull()) {
        out += m_nameSpace.getString();
        out += ':';
    }
    out += m_className.getString();
    for (size_t i = 0; i < m_keyBindings.size(); ++i) {
        out += i == 0 ? '.' : ',';
        out += m_keyBindings[i].getName().getString();
        out += '=';
        appendKeyValue(out, m_keyBindings[i]);
    }
    return out;
}

void CIMObjectPath::setHost(std::string host) {
    for (const char c : host) {
        if (!isHostCharacter(c)) {
            throw CIMValueError("illegal character in host \"" + host + "\"");
        }
    }
    if (!detail::checkText(host)) {
        throw CIMValueError("host is not valid UTF-8");
    }
    m_host = std::move(host);
}

void CIMObjectPath::setKeyBindings(std::vector<CIMKeyBinding> keyBindings) {
    m_keyBindings = std::move(keyBindings);
}

void CIMObjectPath::addKeyBinding(CIMKeyBinding keyBinding) {
    m_keyBindings.push_back(std::move(keyBinding));
}

const CIMKeyBinding* CIMObjectPath::findKeyBinding(const CIMName& name) const noexcept {
    for (const CIMKeyBinding& key : m_keyBindings) {
        if (key.getName() == name) {
            return &key;
        }
    }
    return nullptr;
}

bool CIMObjectPath::identical(const CIMObjectPath& other) const {
    if (!detail::equalNoCase(m_host, other.m_host) || !(m_nameSpace == other.m_nameSpace) ||
        !(m_className == other.m_className) || m_keyBindings.size() != other.m_keyBindings.size()) {
        return false;
    }
    // Pair every key with a distinct key of the other path; paths have few keys.
    std::vector<bool> used(other.m_keyBindings.size(), false);
    for (const CIMKeyBinding& key : m_keyBindings) {
        bool matched = false;
        for (size_t j = 0; j < other.m_keyBindings.size() && !matched; ++j) {
            if (!used[j] && key.equal(other.m_keyBindings[j])) {
                used[j] = true;
                matched = true;
            }
        }
        if (!matched) {
            return false;
        }
    }
    return true;
}

std::ostream& operator<<(std::ostream& os, const CIMObjectPath& path) {
    return os << path.toString();
}

} // namespace cim
