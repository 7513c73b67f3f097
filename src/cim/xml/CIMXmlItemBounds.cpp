#include "cim/xml/CIMXmlItemBounds.h"

#include <cstring>

namespace cim {
namespace {

using Status = CIMXmlItemBounds::Status;
using Result = CIMXmlItemBounds::Result;

constexpr std::size_t npos = std::string_view::npos;

// "<" or "</" and a name; built by appending, which GCC 12's -Wrestrict does not misread.
std::string tagOpening(std::string_view opening, std::string_view name) {
    std::string tag(opening);
    tag.append(name);
    return tag;
}

// The first occurrence of `needle` in text[from, end of text), or npos.
std::size_t findFrom(std::string_view text, std::string_view needle, std::size_t from) noexcept {
    if (from >= text.size()) {
        return npos;
    }
    const void* found = memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) : npos;
}

} // namespace

bool isXmlSpace(char c) noexcept { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool endsTagName(char c) noexcept { return isXmlSpace(c) || c == '>' || c == '/'; }

CIMXmlItemBounds::CIMXmlItemBounds(std::string_view itemName)
    : m_startTag(tagOpening("<", itemName)), m_endTag(tagOpening("</", itemName) + ">") {}

Result CIMXmlItemBounds::find(std::string_view text, std::size_t at) const noexcept {
    if (at >= text.size()) {
        return {Status::Incomplete};
    }
    const std::size_t nameEnd = at + m_startTag.size();
    const std::size_t compared = std::min(text.size(), nameEnd) - std::min(text.size(), at);
    if (text.compare(at, compared, m_startTag, 0, compared) != 0) {
        return {Status::NotPlain};
    }
    if (nameEnd >= text.size()) {
        return {Status::Incomplete};
    }
    if (!endsTagName(text[nameEnd])) {
        return {Status::NotPlain};
    }
    bool empty = false;
    const Result tag = startTagEnd(text, nameEnd, empty);
    if (tag.status != Status::Found || empty) {
        return tag;
    }
    return elementEnd(text, tag.end);
}

// One past the '>' of the start tag whose name ends before `at`.
Result CIMXmlItemBounds::startTagEnd(std::string_view text, std::size_t at, bool& empty) const noexcept {
    while (at < text.size()) {
        const char c = text[at];
        if (c == '"' || c == '\'') {
            const std::size_t quote = text.find(c, at + 1);
            if (quote == npos) {
                return {Status::Incomplete};
            }
            at = quote + 1;
            continue;
        }
        if (c == '<') {
            return {Status::NotPlain};
        }
        if (c == '>') {
            empty = text[at - 1] == '/';
            return {Status::Found, at + 1};
        }
        ++at;
    }
    return {Status::Incomplete};
}

// One past the end tag of the item whose start tag ends at `at`. Items may hold elements of
// their own name (an INSTANCENAME with a reference key holds another), so start tags of the
// name between here and the next end tag open one more level each.
Result CIMXmlItemBounds::elementEnd(std::string_view text, std::size_t at) const noexcept {
    for (int depth = 1;;) {
        const std::size_t endTag = findFrom(text, m_endTag, at);
        if (endTag == npos) {
            return {Status::Incomplete};
        }
        const std::size_t nested = findFrom(text.substr(0, endTag), m_startTag, at);
        if (nested == npos) {
            at = endTag + m_endTag.size();
            if (--depth == 0) {
                return {Status::Found, at};
            }
            continue;
        }
        bool empty = false;
        const std::size_t nameEnd = nested + m_startTag.size();
        const Result nestedEnd = startTagEnd(text, nameEnd, empty);
        if (nestedEnd.status != Status::Found) {
            return {nestedEnd.status};
        }
        depth += endsTagName(text[nameEnd]) && !empty ? 1 : 0;
        at = nestedEnd.end;
    }
}

} // namespace cim
