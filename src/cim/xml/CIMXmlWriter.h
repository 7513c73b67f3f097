// CIMXmlWriter: a small streaming XML writer for CIM-XML documents.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cim {

/// Appends XML to a string as it is told: start an element, add attributes, add text,
/// end the element (an element without content is written self-closed).
///
/// Attribute values and text are escaped ("&", "<", ">", and in attributes also the quote,
/// tab, LF and CR as character references, so they survive XML white-space normalisation;
/// CR in text likewise). Every piece of text is checked first: invalid UTF-8 and control
/// characters other than tab, LF and CR throw CIMXmlError, because XML 1.0 cannot carry them.
///
/// Element and attribute names must be string literals (or otherwise outlive the writer)
/// and are written as given.
class CIMXmlWriter {
public:
    explicit CIMXmlWriter(std::string& out) : m_out(out) {}

    void declaration();
    void startElement(std::string_view name);
    void attribute(std::string_view name, std::string_view value);
    void text(std::string_view value);
    void endElement();
    /// Ends every open element.
    void finish();

    /// Starts an element on construction and ends it on destruction.
    class Element {
    public:
        Element(CIMXmlWriter& writer, std::string_view name) : m_writer(writer) {
            writer.startElement(name);
        }
        ~Element() { m_writer.endElement(); }
        Element(const Element&) = delete;
        Element& operator=(const Element&) = delete;

    private:
        CIMXmlWriter& m_writer;
    };

private:
    void closeStartTag();
    void appendEscaped(std::string_view value, bool inAttribute);

    std::string& m_out;
    std::vector<std::string_view> m_open;
    bool m_startTagOpen = false;
};

} // namespace cim
