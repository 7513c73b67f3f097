#include "cim/value/CIMTextRules.h"

namespace cim::detail {
namespace {

constexpr bool isContinuation(unsigned char c) noexcept { return (c & 0xC0) == 0x80; }

char lowerAscii(char c) noexcept { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

} // namespace

bool isRefusedCodePoint(char32_t cp) noexcept {
    const bool c1Control = cp >= 0x80 && cp <= 0x9F;
    return c1Control || cp == 0xFFFE || cp == 0xFFFF;
}

size_t decodeUtf8(std::string_view text, size_t pos, char32_t& codePoint) noexcept {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    size_t length = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - pos < length) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(c)) {
            return 0;
        }
        codePoint = (codePoint << 6) | (c & 0x3F);
    }
    const bool overlong = codePoint < minimum;
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (overlong || surrogate || codePoint > 0x10FFFF) {
        return 0;
    }
    return length;
}

TextCheck checkText(std::string_view text) noexcept {
    size_t pos = 0;
    while (pos < text.size()) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c >= 0x20 && c < 0x7F) {
            ++pos;
            continue;
        }
        if (c < 0x80) {
            if (c == '\t' || c == '\n' || c == '\r') {
                ++pos;
                continue;
            }
            return {"control character", pos};
        }
        char32_t cp = 0;
        const size_t length = decodeUtf8(text, pos, cp);
        if (length == 0) {
            return {"invalid UTF-8", pos};
        }
        if (isRefusedCodePoint(cp)) {
            return {cp <= 0x9F ? "control character" : "non-character", pos};
        }
        pos += length;
    }
    return {};
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string describe(const TextCheck& check) {
    return std::string(check.problem ? check.problem : "valid text") + " at byte " +
           std::to_string(check.offset);
}

bool equalNoCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

int compareNoCase(std::string_view a, std::string_view b) noexcept {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(lowerAscii(a[i]));
        const auto cb = static_cast<unsigned char>(lowerAscii(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

std::string_view trimXmlSpace(std::string_view text) noexcept {
    constexpr std::string_view space = " \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(space);
    return text.substr(first, last - first + 1);
}

} // namespace cim::detail
