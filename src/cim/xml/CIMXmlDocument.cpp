#include "cim/xml/CIMXmlDocument.h"

#include <algorithm>
#include <cstring>

#include "cim/xml/CIMXmlError.h"
#include "cim/xml/CIMXmlShapeCheck.h"

namespace cim {
namespace {

// Whitespace-only text is kept when it is an element's only content, so that
// <VALUE> </VALUE> reads as a blank string rather than an empty one. Text that starts an
// element is kept in the element itself (no node of its own), which saves a third of the
// tree's memory for CIM-XML, where most elements hold one value.
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

// An element's content parsed alone, the same way as inside its document: at the top level
// text is kept (and refused by parseElement) instead of being dropped.
constexpr unsigned kElementParseOptions = kParseOptions | pugi::parse_fragment;

constexpr std::size_t npos = std::string_view::npos;

// Where the next comment or CDATA section starts: character references are not read there.
std::size_t nextOpaque(std::string_view text, std::size_t from) {
    return std::min(text.find("<![CDATA[", from), text.find("<!--", from));
}

std::size_t opaqueEnd(std::string_view text, std::size_t start) {
    const bool cdata = text.compare(start, 9, "<![CDATA[") == 0;
    const std::size_t end = text.find(cdata ? "]]>" : "-->", start + 4);
    return end == npos ? text.size() : end + 3;
}

// Whether the character reference whose digits start at `at` ("&#0;", "&#x000;") is to NUL.
bool zeroReference(std::string_view text, std::size_t at) {
    const bool hex = at < text.size() && (text[at] == 'x' || text[at] == 'X');
    std::size_t digits = hex ? at + 1 : at;
    const std::size_t first = digits;
    while (digits < text.size() && text[digits] == '0') {
        ++digits;
    }
    return digits > first && digits < text.size() && text[digits] == ';';
}

// pugixml turns &#0; into a NUL, which ends the value there without an error; other
// references to characters XML does not allow are refused later, as control characters.
bool holdsNulReference(std::string_view text) {
    std::size_t opaque = nextOpaque(text, 0);
    for (std::size_t at = text.find("&#"); at != npos; at = text.find("&#", at)) {
        while (opaque < at) {
            const std::size_t end = opaqueEnd(text, opaque);
            if (end > at) {
                at = end;
                break;
            }
            opaque = nextOpaque(text, end);
        }
        if (at >= text.size() || text.compare(at, 2, "&#") != 0) {
            continue;
        }
        if (zeroReference(text, at + 2)) {
            return true;
        }
        at += 2;
    }
    return false;
}

} // namespace

CIMXmlDocument::CIMXmlDocument(std::string buffer, const char* rootName, CIMXmlTextGap gap)
    : m_buffer(std::move(buffer)) {
    // pugixml ends strings at NUL, which would cut values short without an error.
    if (std::memchr(m_buffer.data(), 0, m_buffer.size()) != nullptr) {
        throw CIMXmlError("malformed XML: NUL character");
    }
    if (holdsNulReference(m_buffer)) {
        throw CIMXmlError("malformed XML: character reference to NUL");
    }
    CIMXmlShapeCheck::check(m_buffer);
    const pugi::xml_parse_result result = m_document.load_buffer_inplace(
        m_buffer.data(), m_buffer.size(), kParseOptions, pugi::encoding_utf8);
    if (!result) {
        throw CIMXmlError(std::string("malformed XML: ") + result.description() + " at byte " +
                          std::to_string(gap.original(static_cast<std::size_t>(result.offset))));
    }
    if (!findRoot(rootName)) {
        throw CIMXmlError(std::string("expected ") + rootName + " as the root element, found " +
                          m_root.name());
    }
}

// False when the root is not `rootName`; throws for no root or several.
bool CIMXmlDocument::findRoot(const char* rootName) {
    for (pugi::xml_node node = m_document.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element) {
            continue;
        }
        if (m_root) {
            throw CIMXmlError("malformed XML: more than one root element");
        }
        m_root = node;
    }
    if (!m_root) {
        throw CIMXmlError("malformed XML: no root element");
    }
    return !rootName || std::strcmp(m_root.name(), rootName) == 0;
}

bool CIMXmlDocument::parseOpenStart(std::string_view text, const char* rootName) {
    m_root = pugi::xml_node();
    if (text.empty() || text.back() != '>' || std::memchr(text.data(), 0, text.size()) != nullptr ||
        holdsNulReference(text)) {
        return false;
    }
    try {
        CIMXmlShapeCheck::check(text);
        m_buffer.assign(text);
        const pugi::xml_parse_result result = m_document.load_buffer_inplace(
            m_buffer.data(), m_buffer.size(), kParseOptions, pugi::encoding_utf8);
        // pugixml reads the last '>' apart and reports open elements just before it.
        const bool onlyOpenAtEnd = result.status == pugi::status_end_element_mismatch &&
                                   static_cast<std::size_t>(result.offset) + 1 == m_buffer.size();
        if (onlyOpenAtEnd && findRoot(rootName)) {
            return true;
        }
    } catch (const CIMXmlError&) {
    }
    m_root = pugi::xml_node();
    return false;
}

bool CIMXmlDocument::parseElement(std::string_view text) {
    m_root = pugi::xml_node();
    if (text.empty() || std::memchr(text.data(), 0, text.size()) != nullptr || holdsNulReference(text)) {
        return false;
    }
    try {
        CIMXmlShapeCheck::check(text);
    } catch (const CIMXmlError&) {
        return false;
    }
    m_buffer.assign(text); // keeps its capacity: the same memory for every element
    if (!m_document.load_buffer_inplace(m_buffer.data(), m_buffer.size(), kElementParseOptions,
                                        pugi::encoding_utf8)) {
        return false;
    }
    const pugi::xml_node only = m_document.first_child();
    if (only.type() != pugi::node_element || only.next_sibling()) {
        return false;
    }
    m_root = only;
    return true;
}

} // namespace cim
