// CIMXmlItemScanner: finds the items of a long list element in CIM-XML text, without a tree.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "cim/xml/CIMXmlItemBounds.h"

namespace cim {

/// Splits the content of a list element (the first `<LIST>` of the text up to the last
/// `</LIST`) into its item elements, so that each can be parsed on its own instead of the
/// whole document at once. It looks only at the bytes around the boundaries and accepts only
/// the plain layout servers write:
///
///   ...<LIST>  <ITEM ...>...</ITEM>  <ITEM .../>  </LIST...
///
/// with nothing but XML white space between the items, every item named like the first, and
/// each one ending at the `</ITEM>` that closes it (counting nested `<ITEM` start tags).
/// Anything else (comments or CDATA between the items, other elements, attributes on the
/// list) is "not plain": the scanner stops and the caller reads the whole document. What it returns are candidates
/// only; the caller must parse each part and check that the pieces make up the document.
class CIMXmlItemScanner {
public:
    /// `text` must outlive the scanner.
    CIMXmlItemScanner(std::string_view text, std::string_view listName);

    /// True when the list's start tag and a later end tag were found in plain form.
    bool plain() const noexcept { return m_plain; }
    /// Offset of the '<' of the list's start tag.
    std::size_t listStart() const noexcept { return m_listStart; }
    /// Offsets of the list's content: just past its start tag, and the '<' of its end tag.
    std::size_t contentBegin() const noexcept { return m_contentBegin; }
    std::size_t contentEnd() const noexcept { return m_contentEnd; }
    /// The name of the first item; empty when the list holds only white space.
    std::string_view itemName() const noexcept { return m_itemName; }

    /// The next item element, from its '<' to its last '>'. Nullopt at the end of the list,
    /// and when the rest is not plain (then plain() turns false).
    std::optional<std::string_view> next();

private:
    std::size_t skipSpace(std::size_t at) const noexcept;

    std::string_view m_text;
    bool m_plain = false;
    std::size_t m_listStart = 0;
    std::size_t m_contentBegin = 0;
    std::size_t m_contentEnd = 0;
    std::size_t m_cursor = 0;
    std::string_view m_itemName;
    std::optional<CIMXmlItemBounds> m_bounds; // once the first item's name is known
};

} // namespace cim
