#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Merrow::UserAgent {

// Text conversions of the plain value types that the by-name facility reads and writes.
// Every failure throws MWEDataConversionError naming the text and the type wanted.
class ValueText {
public:
    static std::uint64_t toUnsigned(const std::string& text, std::uint64_t maximum,
                                    const char* typeName);
    static std::int64_t toSigned(const std::string& text, std::int64_t minimum,
                                 std::int64_t maximum, const char* typeName);
    static double toFloat(const std::string& text, const char* typeName);
    // "true"/"false", "yes"/"no", "on"/"off", "1"/"0", any case.
    static bool toBool(const std::string& text);
    static std::string fromBool(bool value) { return value ? "true" : "false"; }

    // "[a,b,c]" (brackets optional) into its trimmed items; "[]" and "" are empty.
    static std::vector<std::string> splitList(const std::string& text);
    static std::string joinList(const std::vector<std::string>& items);
    // "(a, b, c)", the stringified argument list of a table entry, into its names.
    static std::vector<std::string> splitArgumentNames(const char* text);

    [[noreturn]] static void fail(const std::string& text, const char* typeName);
};

} // namespace Merrow::UserAgent
