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

bool isXmlSpace(char c) noexcept { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Whether `c`, right after a tag's name, ends that name (rather than making it a longer one).
bool endsTagName(char c) noexcept { return isXmlSpace(c) || c == '>' || c == '/'; }

// The first occurrence of `needle` in text[from, to), or npos.
std::size_t findIn(std::string_view text, std::string_view needle, std::size_t from, std::size_t to) noexcept {
    if (from >= to) {
        return std::string_view::npos;
    }
    const void* found = memmem(text.data() + from, to - from, needle.data(), needle.size());
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) : std::string_view::npos;
}

} // namespace

CIMXmlItemScanner::CIMXmlItemScanner(std::string_view text, std::string_view listName) : m_text(text) {
    const std::string startTag = tagOpening("<", listName);
    m_listStart = findIn(text, startTag, 0, text.size());
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
    m_itemStartTag = tagOpening("<", m_itemName);
    m_itemEndTag = tagOpening("</", m_itemName) + ">";
}

std::size_t CIMXmlItemScanner::skipSpace(std::size_t at) const noexcept {
    while (at < m_contentEnd && isXmlSpace(m_text[at])) {
        ++at;
    }
    return at;
}

// One past the '>' of the start tag whose name ends before `at`; attribute values in either
// quote may hold '>' and '/'.
std::optional<std::size_t> CIMXmlItemScanner::startTagEnd(std::size_t at, bool& empty) const noexcept {
    while (at < m_contentEnd) {
        const char c = m_text[at];
        if (c == '"' || c == '\'') {
            const std::size_t quote = m_text.find(c, at + 1);
            if (quote == std::string_view::npos || quote >= m_contentEnd) {
                return std::nullopt;
            }
            at = quote + 1;
            continue;
        }
        if (c == '<') {
            return std::nullopt;
        }
        if (c == '>') {
            empty = m_text[at - 1] == '/';
            return at + 1;
        }
        ++at;
    }
    return std::nullopt;
}

// One past the end tag of the item whose start tag ends at `at`. Items may hold elements of
// their own name (an INSTANCENAME with a reference key holds another), so start tags of the
// name between here and the next end tag open one more level each.
std::optional<std::size_t> CIMXmlItemScanner::elementEnd(std::size_t at) const noexcept {
    for (int depth = 1;;) {
        const std::size_t endTag = findIn(m_text, m_itemEndTag, at, m_contentEnd);
        if (endTag == std::string_view::npos) {
            return std::nullopt;
        }
        const std::size_t nested = findIn(m_text, m_itemStartTag, at, endTag);
        if (nested == std::string_view::npos) {
            at = endTag + m_itemEndTag.size();
            if (--depth == 0) {
                return at;
            }
            continue;
        }
        bool empty = false;
        const std::size_t nameEnd = nested + m_itemStartTag.size();
        const std::optional<std::size_t> nestedEnd = startTagEnd(nameEnd, empty);
        if (!nestedEnd) {
            return std::nullopt;
        }
        depth += endsTagName(m_text[nameEnd]) && !empty ? 1 : 0;
        at = *nestedEnd;
    }
}

std::optional<std::string_view> CIMXmlItemScanner::notPlain() noexcept {
    m_plain = false;
    return std::nullopt;
}

std::optional<std::string_view> CIMXmlItemScanner::next() {
    if (!m_plain) {
        return std::nullopt;
    }
    m_cursor = skipSpace(m_cursor);
    if (m_cursor == m_contentEnd) {
        return std::nullopt;
    }
    const std::size_t nameEnd = m_cursor + 1 + m_itemName.size();
    if (m_text[m_cursor] != '<' || nameEnd >= m_contentEnd ||
        m_text.compare(m_cursor + 1, m_itemName.size(), m_itemName) != 0 ||
        !endsTagName(m_text[nameEnd])) {
        return notPlain();
    }
    bool empty = false;
    const std::optional<std::size_t> tagEnd = startTagEnd(nameEnd, empty);
    if (!tagEnd) {
        return notPlain();
    }
    std::optional<std::size_t> end = *tagEnd;
    if (!empty) {
        end = elementEnd(*tagEnd);
        if (!end) {
            return notPlain();
        }
    }
    const std::string_view item = m_text.substr(m_cursor, *end - m_cursor);
    m_cursor = *end;
    return item;
}

} // namespace cim
