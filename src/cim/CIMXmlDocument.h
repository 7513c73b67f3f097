// CIMXmlDocument: one parsed XML document, for the CIM-XML reader.
#pragma once

#include <string>

#include <pugixml.hpp>

namespace cim {

/// Parses a buffer in place (the buffer is kept and overwritten) and gives its single
/// root element. Throws CIMXmlError for malformed XML, NUL bytes, a document without an
/// element or with more than one, and a root element other than `rootName` (any root
/// element when `rootName` is null). Text outside the root element is ignored.
class CIMXmlDocument {
public:
    CIMXmlDocument(std::string buffer, const char* rootName);
    CIMXmlDocument(const CIMXmlDocument&) = delete;
    CIMXmlDocument& operator=(const CIMXmlDocument&) = delete;

    pugi::xml_node root() const noexcept { return m_root; }

    /// An element's text starts in the element's own value and goes on in any text and
    /// CDATA children (see the parse options).
    static bool hasText(pugi::xml_node element) noexcept { return *element.value() != 0; }

private:
    std::string m_buffer;
    pugi::xml_document m_document;
    pugi::xml_node m_root;
};

} // namespace cim
