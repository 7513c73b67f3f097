#include "cim/xml/CIMXmlItemScanner.h"

#include <cstring>

namespace cim {
namespace {

// "<" or "</" and a name; built by appending, which GCC 12's -Wrestrict does not misread.
std::string tagOpening(std::string_view opening, std::string_view name) {
    std::string tag(opening);
    tag.append(name);
    return tag;
}

} // namespace

CIMXmlItemScanner::CIMXmlItemScanner(std::string_view text, std::string_view listName) : m_text(text) {
    const std::string startTag = tagOpening("<", listName);
    m_listStart = text.find(startTag);
    if (m_listStart == std::string_view::npos) {
        return;
    }
    // No attributes and not self-closed: "<LIST>" or "<LIST  >".
    std::size_t at = m_listStart + startTag.size();
    while (at < text.size() && isXmlSpace(text[at])) {
        ++at;
    }
    if (at >= text.size() || text[at] != '>') {
        return;
    }
    m_contentBegin = at + 1;
    m_contentEnd = text.rfind(tagOpening("</", listName));
    const std::size_t afterName = m_contentEnd + 2 + listName.size();
    if (m_contentEnd == std::string_view::npos || m_contentEnd < m_contentBegin || afterName >= text.size() ||
        !endsTagName(text[afterName]) || text[afterName] == '/') {
        return;
    }
    m_cursor = skipSpace(m_contentBegin);
    m_plain = true;
    if (m_cursor == m_contentEnd) {
        return;
    }
    std::size_t nameEnd = m_cursor + 1;
    while (nameEnd < m_contentEnd && !endsTagName(text[nameEnd])) {
        ++nameEnd;
    }
    m_itemName = text.substr(m_cursor + 1, nameEnd - m_cursor - 1);
    if (text[m_cursor] != '<' || m_itemName.empty() || m_itemName.front() == '!' || m_itemName.front() == '?') {
        m_plain = false;
        return;
    }
    m_bounds.emplace(m_itemName);
}

std::size_t CIMXmlItemScanner::skipSpace(std::size_t at) const noexcept {
    while (at < m_contentEnd && isXmlSpace(m_text[at])) {
        ++at;
    }
    return at;
}

std::optional<std::string_view> CIMXmlItemScanner::next() {
    if (!m_plain) {
        return std::nullopt;
    }
    m_cursor = skipSpace(m_cursor);
    if (m_cursor == m_contentEnd) {
        return std::nullopt;
    }
    // The list's content alone: an item running into its end tag is not plain.
    const CIMXmlItemBounds::Result item = m_bounds->find(m_text.substr(0, m_contentEnd), m_cursor);
    if (item.status != CIMXmlItemBounds::Status::Found) {
        m_plain = false;
        return std::nullopt;
    }
    const std::string_view text = m_text.substr(m_cursor, item.end - m_cursor);
    m_cursor = item.end;
    return text;
}

} // namespace cim
