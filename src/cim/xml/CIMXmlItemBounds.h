// CIMXmlItemBounds: where one item element of a plainly laid out list ends, in text that may
// still be arriving.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cim {

/// Finds the end of an item element named `itemName` from the bytes around its boundaries
/// only, as CIMXmlItemScanner describes: the start tag (whose quoted attribute values may
/// hold '>' and '/') and the `</ITEM>` that closes it, counting nested `<ITEM` start tags.
/// The text given may be the part of a document received so far: an item that runs past its
/// end is Incomplete, not refused, and reads the same once more text has come.
class CIMXmlItemBounds {
public:
    enum class Status {
        Found,      ///< the item ends at `end` (one past its last '>')
        Incomplete, ///< the text ends before the item does
        NotPlain,   ///< no item of this name starts here, or it is not laid out plainly
    };
    struct Result {
        Status status;
        std::size_t end = 0;
    };

    explicit CIMXmlItemBounds(std::string_view itemName);

    std::string_view itemName() const noexcept { return std::string_view(m_startTag).substr(1); }

    /// The item whose start tag's '<' is at `at`.
    Result find(std::string_view text, std::size_t at) const noexcept;

private:
    Result startTagEnd(std::string_view text, std::size_t at, bool& empty) const noexcept;
    Result elementEnd(std::string_view text, std::size_t at) const noexcept;

    std::string m_startTag; // "<ITEM"
    std::string m_endTag;   // "</ITEM>"
};

/// XML white space.
bool isXmlSpace(char c) noexcept;
/// Whether `c`, right after a tag's name, ends that name (rather than making it a longer one).
bool endsTagName(char c) noexcept;

} // namespace cim
