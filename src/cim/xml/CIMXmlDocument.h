// CIMXmlDocument: one parsed XML document, for the CIM-XML reader.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace cim {

/// Bytes left out of a text before it is parsed (well-formed items of a list that were read
/// already): byte offsets in errors are given in the text as it was.
struct CIMXmlTextGap {
    std::size_t at = std::string_view::npos;
    std::size_t length = 0;
    std::size_t original(std::size_t offset) const noexcept { return offset >= at ? offset + length : offset; }
};

/// Parses a buffer in place (the buffer is kept and overwritten) and gives its single
/// root element. Throws CIMXmlError for malformed XML, NUL bytes or references to NUL, a document without an
/// element or with more than one, and a root element other than `rootName` (any root
/// element when `rootName` is null), and text nested or sized beyond CIMXmlShapeCheck's
/// limits. Text outside the root element is ignored.
///
/// A default-constructed document is for parseElement(): one element after another, parsed
/// into the same memory, so that reading a long list touches no new pages.
class CIMXmlDocument {
public:
    CIMXmlDocument() = default;
    CIMXmlDocument(std::string buffer, const char* rootName, CIMXmlTextGap gap = {});
    CIMXmlDocument(const CIMXmlDocument&) = delete;
    CIMXmlDocument& operator=(const CIMXmlDocument&) = delete;

    pugi::xml_node root() const noexcept { return m_root; }

    /// The parsed buffer: names and values of the tree point into it, so a node's offset in
    /// the text is its name's offset, less one for the '<'.
    const char* text() const noexcept { return m_buffer.data(); }

    /// Replaces the document by `text` parsed as one element, read exactly as it would be
    /// inside a larger document. False, leaving no root, when `text` is not well formed, holds
    /// a NUL, or is anything but one element with nothing around it; no reason is given, as
    /// the caller's answer to that is to read the larger document instead.
    bool parseElement(std::string_view text);

    /// Replaces the document by `text`, the start of a document up to the '>' of a start
    /// tag, parsed as the start of the document `rootName` whose elements are all still open
    /// at the end of `text`. False, leaving no root, for anything else (malformed or
    /// refused text, elements closed that the end of the text leaves open, another root); no
    /// reason is given, as the caller's answer to that is to read the whole document instead.
    bool parseOpenStart(std::string_view text, const char* rootName);

    /// An element's text starts in the element's own value and goes on in any text and
    /// CDATA children (see the parse options).
    static bool hasText(pugi::xml_node element) noexcept { return *element.value() != 0; }

private:
    bool findRoot(const char* rootName);

    std::string m_buffer;
    pugi::xml_document m_document;
    pugi::xml_node m_root;
};

} // namespace cim
