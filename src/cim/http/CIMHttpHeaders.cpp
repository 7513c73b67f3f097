#include "cim/http/CIMHttpHeaders.h"

#include <array>
#include <cstdint>

namespace cim {

namespace {

// "/" too: other clients send the namespace of CIMObject as "root%2Fsnia", and a strict
// server may refuse it bare.
constexpr std::string_view kUnsafe = " \"#%<>{}|\\^[]`/";

bool mustEscape(unsigned char byte)
{
    return byte < 0x20 || byte >= 0x7F || kUnsafe.find(static_cast<char>(byte)) != std::string_view::npos;
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Length of the UTF-8 sequence introduced by lead byte b, 0 for a byte that cannot start one.
std::size_t utf8SequenceLength(unsigned char b)
{
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF)
        return 3;
    if (b >= 0xF0 && b <= 0xF4)
        return 4;
    return 0;
}

// The second byte carries the range checks that rule out overlong forms, surrogates and
// code points above U+10FFFF.
bool secondByteAllowed(unsigned char lead, unsigned char second)
{
    switch (lead) {
    case 0xE0: return second >= 0xA0 && second <= 0xBF;
    case 0xED: return second >= 0x80 && second <= 0x9F;
    case 0xF0: return second >= 0x90 && second <= 0xBF;
    case 0xF4: return second >= 0x80 && second <= 0x8F;
    default: return second >= 0x80 && second <= 0xBF;
    }
}

bool isContinuation(unsigned char b)
{
    return b >= 0x80 && b <= 0xBF;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string CIMHttpHeaders::encodeValue(std::string_view utf8)
{
    static constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                  '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (!mustEscape(byte)) {
            out.push_back(c);
            continue;
        }
        out.push_back('%');
        out.push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 0x0F]);
    }
    return out;
}

std::optional<std::string> CIMHttpHeaders::decodeValue(std::string_view encoded)
{
    std::string out;
    out.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            out.push_back(encoded[i]);
            continue;
        }
        if (i + 2 >= encoded.size())
            return std::nullopt;
        const int high = hexDigitValue(encoded[i + 1]);
        const int low = hexDigitValue(encoded[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    if (!isValidUtf8(out))
        return std::nullopt;
    return out;
}

bool CIMHttpHeaders::isValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = utf8SequenceLength(lead);
        if (length == 0 || i + length > bytes.size())
            return false;
        if (length > 1 && !secondByteAllowed(lead, static_cast<unsigned char>(bytes[i + 1])))
            return false;
        for (std::size_t k = 2; k < length; ++k) {
            if (!isContinuation(static_cast<unsigned char>(bytes[i + k])))
                return false;
        }
        i += length;
    }
    return true;
}

bool CIMHttpHeaders::tokenEquals(std::string_view received, std::string_view expected)
{
    received = trimmed(received);
    if (received.size() != expected.size())
        return false;
    for (std::size_t i = 0; i < received.size(); ++i) {
        if (asciiLower(received[i]) != asciiLower(expected[i]))
            return false;
    }
    return true;
}

} // namespace cim
