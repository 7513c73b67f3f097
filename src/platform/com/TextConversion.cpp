#include "platform/com/TextConversion.h"

namespace orv::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct LeadByte {
    int length;         // bytes of the whole sequence, 0 for a byte that cannot lead
    unsigned char low;  // allowed range of the second byte (excludes overlongs,
    unsigned char high; // surrogates and code points above U+10FFFF)
};

LeadByte classify(unsigned char b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return {2, 0x80, 0xBF};
    if (b == 0xE0)
        return {3, 0xA0, 0xBF};
    if (b == 0xED)
        return {3, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF)
        return {3, 0x80, 0xBF};
    if (b == 0xF0)
        return {4, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3)
        return {4, 0x80, 0xBF};
    if (b == 0xF4)
        return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

void appendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

void appendUtf8(std::string& out, char32_t cp)
{
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

// Decodes the sequence starting at text[i]; returns the code point (U+FFFD for an
// ill-formed sequence) and advances i past what was consumed.
char32_t decodeUtf8(std::string_view text, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    const LeadByte kind = classify(lead);
    if (kind.length == 0) {
        ++i;
        return kReplacement;
    }
    char32_t cp = lead & (0x7F >> kind.length);
    for (int k = 1; k < kind.length; ++k) {
        const std::size_t at = i + static_cast<std::size_t>(k);
        if (at >= text.size()) {
            i = at;
            return kReplacement;
        }
        const auto b = static_cast<unsigned char>(text[at]);
        const unsigned char low = k == 1 ? kind.low : 0x80;
        const unsigned char high = k == 1 ? kind.high : 0xBF;
        if (b < low || b > high) {
            i = at;
            return kReplacement;
        }
        cp = cp << 6 | (b & 0x3F);
    }
    i += static_cast<std::size_t>(kind.length);
    return cp;
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size())
        appendUtf16(out, decodeUtf8(text, i));
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            const char32_t cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
                                (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            appendUtf8(out, cp);
            ++i;
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

std::string Utf16ToUtf8(LPCWSTR text)
{
    if (text == nullptr)
        return {};
    return Utf16ToUtf8(std::u16string_view(text));
}

std::size_t WideLength(LPCWSTR text)
{
    return text == nullptr ? 0 : std::char_traits<char16_t>::length(text);
}

}  // namespace orv::platform
