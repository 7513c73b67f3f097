#include "cim/value/CIMScalarText.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "cim/value/CIMTextRules.h"

namespace cim::detail {
namespace {

struct SignedMagnitude {
    bool negative = false;
    uint64_t magnitude = 0;
};

bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

// "[+-](digits | 0x hexdigits)" with no other characters.
std::optional<SignedMagnitude> readInteger(std::string_view text) noexcept {
    text = trimXmlSpace(text);
    SignedMagnitude result;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        result.negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, result.magnitude, base);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return result;
}

// Checks the decimal real grammar; from_chars alone would also take "inf", "nan(...)"
// and hexadecimal floats.
bool isDecimalReal(std::string_view text) noexcept {
    size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    size_t digits = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
        ++digits;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && isDigit(text[pos])) {
            ++pos;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
        }
        size_t exponentDigits = 0;
        while (pos < text.size() && isDigit(text[pos])) {
            ++pos;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
    }
    return pos == text.size();
}

template <typename Real>
std::optional<Real> readReal(std::string_view text) noexcept {
    text = trimXmlSpace(text);
    if (text == "INF" || text == "+INF") {
        return std::numeric_limits<Real>::infinity();
    }
    if (text == "-INF") {
        return -std::numeric_limits<Real>::infinity();
    }
    if (text == "NaN") {
        return std::numeric_limits<Real>::quiet_NaN();
    }
    if (!isDecimalReal(text)) {
        return std::nullopt;
    }
    if (text[0] == '+') {
        text.remove_prefix(1);
    }
    Real value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

template <typename Real>
void appendReal(std::string& out, Real value) {
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-INF" : "INF";
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

} // namespace

std::optional<uint64_t> readUnsigned(std::string_view text, uint64_t maximum) noexcept {
    const auto number = readInteger(text);
    if (!number || number->magnitude > maximum) {
        return std::nullopt;
    }
    if (number->negative && number->magnitude != 0) {
        return std::nullopt;
    }
    return number->magnitude;
}

std::optional<int64_t> readSigned(std::string_view text, int64_t minimum, int64_t maximum) noexcept {
    const auto number = readInteger(text);
    if (!number) {
        return std::nullopt;
    }
    int64_t value = 0;
    if (number->negative) {
        // The magnitude of INT64_MIN is one more than INT64_MAX.
        constexpr uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1;
        if (number->magnitude > limit) {
            return std::nullopt;
        }
        value = number->magnitude == limit ? std::numeric_limits<int64_t>::min()
                                           : -static_cast<int64_t>(number->magnitude);
    } else {
        if (number->magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            return std::nullopt;
        }
        value = static_cast<int64_t>(number->magnitude);
    }
    if (value < minimum || value > maximum) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> readReal64(std::string_view text) noexcept { return readReal<double>(text); }

std::optional<float> readReal32(std::string_view text) noexcept { return readReal<float>(text); }

std::optional<bool> readBoolean(std::string_view text) noexcept {
    text = trimXmlSpace(text);
    if (equalNoCase(text, "TRUE")) {
        return true;
    }
    if (equalNoCase(text, "FALSE")) {
        return false;
    }
    return std::nullopt;
}

bool isNumericText(std::string_view text) noexcept {
    return readInteger(text).has_value() || readReal64(text).has_value();
}

void appendUnsigned(std::string& out, uint64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendSigned(std::string& out, int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendReal64(std::string& out, double value) { appendReal(out, value); }

void appendReal32(std::string& out, float value) { appendReal(out, value); }

void appendBoolean(std::string& out, bool value) { out += value ? "TRUE" : "FALSE"; }

} // namespace cim::detail
