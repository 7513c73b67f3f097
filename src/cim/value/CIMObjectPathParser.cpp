#include "cim/value/CIMObjectPathParser.h"

#include "cim/value/CIMScalarText.h"
#include "cim/value/CIMTextRules.h"
#include "cim/value/CIMValueError.h"

namespace cim::detail {

CIMObjectPathParser::CIMObjectPathParser(std::string_view text, int nesting)
    : m_text(text), m_nesting(nesting) {}

std::optional<CIMObjectPath> CIMObjectPathParser::parse() {
    CIMObjectPath path;
    if (m_text.empty()) {
        return path;
    }
    const bool ok = parseHost(path) && parseNameSpace(path) && parseClassName(path) &&
                    parseKeyBindings(path);
    if (!ok) {
        return std::nullopt;
    }
    return path;
}

bool CIMObjectPathParser::fail(std::string what) {
    if (m_error.empty()) {
        m_error = "invalid object path \"" + std::string(m_text) + "\": " + what;
    }
    return false;
}

// "//" host "/"
bool CIMObjectPathParser::parseHost(CIMObjectPath& path) {
    if (m_text.substr(0, 2) != "//") {
        return true;
    }
    const size_t slash = m_text.find('/', 2);
    if (slash == std::string_view::npos) {
        return fail("\"/\" expected after the host");
    }
    if (slash == 2) {
        return fail("empty host");
    }
    try {
        path.setHost(std::string(m_text.substr(2, slash - 2)));
    } catch (const CIMValueError& e) {
        return fail(e.what());
    }
    m_pos = slash + 1;
    return true;
}

// namespace ":" — only when the colon comes before anything that belongs to the keys.
bool CIMObjectPathParser::parseNameSpace(CIMObjectPath& path) {
    const size_t colon = m_text.find(':', m_pos);
    const size_t keyStart = m_text.find_first_of(".=\"", m_pos);
    if (colon == std::string_view::npos || colon > keyStart) {
        return true;
    }
    std::string_view name = m_text.substr(m_pos, colon - m_pos);
    if (name.starts_with('/')) {
        name.remove_prefix(1);
    }
    if (!CIMNamespaceName::legal(name)) {
        return fail("illegal namespace \"" + std::string(name) + "\"");
    }
    path.setNameSpace(CIMNamespaceName(name));
    m_pos = colon + 1;
    return true;
}

bool CIMObjectPathParser::parseClassName(CIMObjectPath& path) {
    const size_t end = std::min(m_text.find_first_of(".=", m_pos), m_text.size());
    const std::string_view name = m_text.substr(m_pos, end - m_pos);
    if (!CIMName::legal(name)) {
        return fail("illegal class name \"" + std::string(name) + "\"");
    }
    path.setClassName(CIMName(name));
    m_pos = end;
    return true;
}

// "." key { "," key }
bool CIMObjectPathParser::parseKeyBindings(CIMObjectPath& path) {
    if (m_pos == m_text.size()) {
        return true;
    }
    if (m_text[m_pos] != '.') {
        return fail("\".\" expected after the class name");
    }
    ++m_pos;
    for (;;) {
        if (!parseKeyBinding(path)) {
            return false;
        }
        if (m_pos == m_text.size()) {
            return true;
        }
        if (m_text[m_pos] != ',') {
            return fail("\",\" expected after a key value");
        }
        ++m_pos;
    }
}

// [name] "=" value
bool CIMObjectPathParser::parseKeyBinding(CIMObjectPath& path) {
    const size_t equals = m_text.find('=', m_pos);
    if (equals == std::string_view::npos) {
        return fail("\"=\" expected in a key binding");
    }
    const std::string_view name = m_text.substr(m_pos, equals - m_pos);
    if (!name.empty() && !CIMName::legal(name)) {
        return fail("illegal key name \"" + std::string(name) + "\"");
    }
    m_pos = equals + 1;
    if (m_pos < m_text.size() && m_text[m_pos] == '"') {
        return parseQuotedValue(CIMName(name), path);
    }
    return parseBareValue(CIMName(name), path);
}

bool CIMObjectPathParser::parseQuotedValue(const CIMName& name, CIMObjectPath& path) {
    std::string value;
    for (++m_pos; m_pos < m_text.size() && m_text[m_pos] != '"'; ++m_pos) {
        if (m_text[m_pos] == '\\' && ++m_pos == m_text.size()) {
            break;
        }
        value.push_back(m_text[m_pos]);
    }
    if (m_pos == m_text.size()) {
        return fail("unterminated quoted key value");
    }
    ++m_pos;
    if (m_nesting < kMaxNesting) {
        CIMObjectPathParser inner(value, m_nesting + 1);
        if (auto reference = inner.parse(); reference && reference->hasKeys()) {
            path.addKeyBinding(CIMKeyBinding(name, *reference));
            return true;
        }
    }
    path.addKeyBinding(CIMKeyBinding(name, std::move(value), CIMKeyBinding::Type::String));
    return true;
}

bool CIMObjectPathParser::parseBareValue(const CIMName& name, CIMObjectPath& path) {
    const size_t end = std::min(m_text.find(',', m_pos), m_text.size());
    const std::string_view value = m_text.substr(m_pos, end - m_pos);
    m_pos = end;
    if (equalNoCase(value, "TRUE") || equalNoCase(value, "FALSE")) {
        path.addKeyBinding(CIMKeyBinding(name, std::string(value), CIMKeyBinding::Type::Boolean));
        return true;
    }
    if (!value.empty() && trimXmlSpace(value) == value && isNumericText(value)) {
        path.addKeyBinding(CIMKeyBinding(name, std::string(value), CIMKeyBinding::Type::Numeric));
        return true;
    }
    return fail("key value \"" + std::string(value) + "\" is neither quoted, boolean nor numeric");
}

} // namespace cim::detail
