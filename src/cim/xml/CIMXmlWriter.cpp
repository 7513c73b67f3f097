#include "cim/xml/CIMXmlWriter.h"

#include <array>

#include "cim/value/CIMTextRules.h"
#include "cim/xml/CIMXmlError.h"

namespace cim {
namespace {

enum ByteClass : unsigned char {
    Plain,
    AlwaysEscaped,      // & < > and CR (which XML would otherwise turn into LF)
    EscapedInAttribute, // " tab LF: plain in text, character references in attributes
    Refused,            // other C0 controls and DEL
    MultiByte,          // start or middle of a UTF-8 sequence
};

constexpr std::array<ByteClass, 256> makeByteClasses() {
    std::array<ByteClass, 256> classes{};
    for (int c = 0; c < 0x20; ++c) {
        classes[c] = Refused;
    }
    classes[0x7F] = Refused;
    for (int c = 0x80; c < 256; ++c) {
        classes[c] = MultiByte;
    }
    classes['&'] = classes['<'] = classes['>'] = classes['\r'] = AlwaysEscaped;
    classes['"'] = classes['\t'] = classes['\n'] = EscapedInAttribute;
    return classes;
}

constexpr std::array<ByteClass, 256> kByteClass = makeByteClasses();

std::string_view escapeFor(char c) {
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\t': return "&#9;";
    case '\n': return "&#10;";
    case '\r': return "&#13;";
    default: return {};
    }
}

[[noreturn]] void refuse(const char* problem, size_t offset) {
    throw CIMXmlError("cannot write text: " + detail::describe({problem, offset}));
}

} // namespace

void CIMXmlWriter::declaration() { m_out += "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"; }

void CIMXmlWriter::startElement(std::string_view name) {
    closeStartTag();
    m_out += '<';
    m_out += name;
    m_open.push_back(name);
    m_startTagOpen = true;
}

void CIMXmlWriter::attribute(std::string_view name, std::string_view value) {
    m_out += ' ';
    m_out += name;
    m_out += "=\"";
    appendEscaped(value, true);
    m_out += '"';
}

void CIMXmlWriter::text(std::string_view value) {
    closeStartTag();
    appendEscaped(value, false);
}

void CIMXmlWriter::endElement() {
    if (m_open.empty()) {
        return;
    }
    if (m_startTagOpen) {
        m_out += "/>";
        m_startTagOpen = false;
    } else {
        m_out += "</";
        m_out += m_open.back();
        m_out += '>';
    }
    m_open.pop_back();
}

void CIMXmlWriter::finish() {
    while (!m_open.empty()) {
        endElement();
    }
}

void CIMXmlWriter::closeStartTag() {
    if (m_startTagOpen) {
        m_out += '>';
        m_startTagOpen = false;
    }
}

void CIMXmlWriter::appendEscaped(std::string_view value, bool inAttribute) {
    size_t plainStart = 0;
    size_t pos = 0;
    while (pos < value.size()) {
        switch (kByteClass[static_cast<unsigned char>(value[pos])]) {
        case Plain:
            ++pos;
            continue;
        case EscapedInAttribute:
            if (!inAttribute) {
                ++pos;
                continue;
            }
            [[fallthrough]];
        case AlwaysEscaped:
            m_out.append(value.data() + plainStart, pos - plainStart);
            m_out += escapeFor(value[pos]);
            plainStart = ++pos;
            continue;
        case Refused:
            refuse("control character", pos);
        case MultiByte: {
            char32_t codePoint = 0;
            const size_t length = detail::decodeUtf8(value, pos, codePoint);
            if (length == 0) {
                refuse("invalid UTF-8", pos);
            }
            if (detail::isRefusedCodePoint(codePoint)) {
                refuse("control character or non-character", pos);
            }
            pos += length;
            continue;
        }
        }
    }
    m_out.append(value.data() + plainStart, value.size() - plainStart);
}

} // namespace cim
