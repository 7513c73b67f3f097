// Character rules shared by the value model and the CIM-XML codec.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cim::detail {

/// Result of checking a string against the rules for CIM-XML text.
struct TextCheck {
    const char* problem = nullptr; ///< null when the text is acceptable
    size_t offset = 0;             ///< byte offset of the first offending character
    explicit operator bool() const noexcept { return problem == nullptr; }
};

/// Text that may travel in CIM-XML: well-formed UTF-8 (no overlong forms, no surrogates,
/// nothing above U+10FFFF), no control characters other than tab, line feed and carriage
/// return (C0, DEL and C1 are all refused) and neither U+FFFE nor U+FFFF.
TextCheck checkText(std::string_view text) noexcept;

/// Throws-free decoding of one UTF-8 sequence at text[pos]; returns its length (0 when the
/// sequence is malformed) and stores the code point.
size_t decodeUtf8(std::string_view text, size_t pos, char32_t& codePoint) noexcept;

/// True for the code points above U+007F that CIM-XML text refuses: C1 controls,
/// U+FFFE and U+FFFF.
bool isRefusedCodePoint(char32_t codePoint) noexcept;

/// Appends the UTF-8 form of a code point (which the caller has checked).
void appendUtf8(std::string& out, char32_t codePoint);

/// Describes a failed check for an error message: "<problem> at byte <offset>".
std::string describe(const TextCheck& check);

/// ASCII case-insensitive equality; CIM names compare this way.
bool equalNoCase(std::string_view a, std::string_view b) noexcept;

/// ASCII case-insensitive ordering (negative, zero, positive).
int compareNoCase(std::string_view a, std::string_view b) noexcept;

/// Leading and trailing XML white space (space, tab, CR, LF) removed.
std::string_view trimXmlSpace(std::string_view text) noexcept;

} // namespace cim::detail
