#pragma once

#include <string>
#include <string_view>
#include <vector>

// Small text helpers shared by the value-type parsers. ASCII only: the texts they handle are
// numbers, units and enumeration names.
namespace Merrow::UserAgent::TextUtil {

inline constexpr std::string_view kWhiteSpace = " \t\n";

std::string_view trim(std::string_view text, std::string_view characters = kWhiteSpace);
std::string toUpper(std::string_view text);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool equalsIgnoringCase(std::string_view left, std::string_view right);

// Every piece between separators, empty pieces included ("a--b" gives three pieces).
std::vector<std::string_view> split(std::string_view text, char separator);
// Only the non-empty pieces, so runs of separators count as one.
std::vector<std::string_view> splitSkippingEmpty(std::string_view text, char separator);

} // namespace Merrow::UserAgent::TextUtil
