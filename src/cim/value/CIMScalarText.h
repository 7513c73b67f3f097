// Text forms of CIM scalar values, as CIM-XML VALUE elements and key values carry them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cim::detail {

// Readers take the text of one value (surrounding XML white space is ignored) and return
// nullopt for anything that is not a value of the type: garbage, an empty text, a number
// out of range.

/// Decimal "[+-]digits" or hexadecimal "[+-]0x hexdigits"; at most `maximum`.
/// "-0" is accepted; any other negative number is not.
std::optional<uint64_t> readUnsigned(std::string_view text, uint64_t maximum) noexcept;

/// Decimal or hexadecimal as above, within [minimum, maximum].
std::optional<int64_t> readSigned(std::string_view text, int64_t minimum, int64_t maximum) noexcept;

/// "[+-]digits[.digits][(e|E)[+-]digits]" (also ".5" and "5."), "INF", "-INF", "NaN".
/// A finite text whose value overflows the type is refused.
std::optional<double> readReal64(std::string_view text) noexcept;
std::optional<float> readReal32(std::string_view text) noexcept;

/// "TRUE" or "FALSE" in any case.
std::optional<bool> readBoolean(std::string_view text) noexcept;

/// True when `text` reads as an integer or a real.
bool isNumericText(std::string_view text) noexcept;

void appendUnsigned(std::string& out, uint64_t value);
void appendSigned(std::string& out, int64_t value);
/// Shortest text that reads back to exactly the same value; "INF", "-INF", "NaN".
void appendReal64(std::string& out, double value);
void appendReal32(std::string& out, float value);
void appendBoolean(std::string& out, bool value);

} // namespace cim::detail
