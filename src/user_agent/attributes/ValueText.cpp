#include "user_agent/attributes/ValueText.h"

#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/TextUtil.h"

#include <charconv>

namespace Merrow::UserAgent {
namespace {

std::string trimmed(const std::string& text) { return std::string(TextUtil::trim(text, " \t\r\n")); }

template <typename Number>
bool parseWhole(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && ptr == end;
}

} // namespace

void ValueText::fail(const std::string& text, const char* typeName) {
    throw MWEDataConversionError("Invalid " + std::string(typeName) + " value: '" + text + "'",
                                 __FILE__, __LINE__, "Merrow::UserAgent::ValueText");
}

std::uint64_t ValueText::toUnsigned(const std::string& text, std::uint64_t maximum,
                                    const char* typeName) {
    std::uint64_t value = 0;
    if (!parseWhole(trimmed(text), value) || value > maximum)
        fail(text, typeName);
    return value;
}

std::int64_t ValueText::toSigned(const std::string& text, std::int64_t minimum,
                                 std::int64_t maximum, const char* typeName) {
    std::int64_t value = 0;
    if (!parseWhole(trimmed(text), value) || value < minimum || value > maximum)
        fail(text, typeName);
    return value;
}

double ValueText::toFloat(const std::string& text, const char* typeName) {
    double value = 0;
    if (!parseWhole(trimmed(text), value))
        fail(text, typeName);
    return value;
}

bool ValueText::toBool(const std::string& text) {
    const std::string word = TextUtil::toUpper(trimmed(text));
    if (word == "TRUE" || word == "YES" || word == "ON" || word == "1")
        return true;
    if (word == "FALSE" || word == "NO" || word == "OFF" || word == "0")
        return false;
    fail(text, "bool");
}

std::vector<std::string> ValueText::splitList(const std::string& text) {
    std::string inner = trimmed(text);
    if (inner.size() >= 2 && inner.front() == '[' && inner.back() == ']')
        inner = trimmed(inner.substr(1, inner.size() - 2));
    std::vector<std::string> items;
    if (inner.empty())
        return items;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = inner.find(',', start);
        items.push_back(trimmed(inner.substr(start, comma - start)));
        if (comma == std::string::npos)
            return items;
        start = comma + 1;
    }
}

std::string ValueText::joinList(const std::vector<std::string>& items) {
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i ? "," : "") + items[i];
    return text + "]";
}

std::vector<std::string> ValueText::splitArgumentNames(const char* text) {
    std::string names = trimmed(text ? text : "");
    if (names.size() >= 2 && names.front() == '(' && names.back() == ')')
        names = names.substr(1, names.size() - 2);
    return splitList(names);
}

} // namespace Merrow::UserAgent
