#include "platform/com/Guid.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

namespace {

constexpr std::size_t kBracedLength = 38;  // "{" 8 "-" 4 "-" 4 "-" 4 "-" 12 "}"

// Positions of the dashes in the braced text, and which text position holds which byte
// of the printed value (Data1, Data2, Data3 most significant digit first, then Data4).
constexpr std::size_t kDashPositions[] = {9, 14, 19, 24};

bool isDashPosition(std::size_t position)
{
    for (std::size_t dash : kDashPositions) {
        if (dash == position)
            return true;
    }
    return false;
}

int hexValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    return -1;
}

// The 32 hex digits of the braced text as 16 bytes in print order.
template <class CharT>
std::optional<GUID> parseBraced(std::basic_string_view<CharT> text)
{
    if (text.size() != kBracedLength || text.front() != '{' || text.back() != '}')
        return std::nullopt;
    BYTE printed[16] = {};
    std::size_t digit = 0;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (isDashPosition(i)) {
            if (text[i] != '-')
                return std::nullopt;
            continue;
        }
        int value = hexValue(static_cast<char32_t>(text[i]));
        if (value < 0)
            return std::nullopt;
        printed[digit / 2] = static_cast<BYTE>(printed[digit / 2] << 4 | value);
        ++digit;
    }
    GUID guid{};
    guid.Data1 = static_cast<DWORD>(printed[0]) << 24 | static_cast<DWORD>(printed[1]) << 16 |
                 static_cast<DWORD>(printed[2]) << 8 | printed[3];
    guid.Data2 = static_cast<WORD>(printed[4] << 8 | printed[5]);
    guid.Data3 = static_cast<WORD>(printed[6] << 8 | printed[7]);
    std::memcpy(guid.Data4, printed + 8, 8);
    return guid;
}

}  // namespace

bool operator==(const GUID& a, const GUID& b) noexcept
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

std::strong_ordering operator<=>(const GUID& a, const GUID& b) noexcept
{
    return std::memcmp(&a, &b, sizeof(GUID)) <=> 0;
}

HRESULT CoCreateGuid(GUID* pGuid)
{
    if (pGuid == nullptr)
        return E_POINTER;
    BYTE bytes[sizeof(GUID)];
    std::size_t filled = 0;
    while (filled < sizeof(bytes)) {
        ssize_t got = getrandom(bytes + filled, sizeof(bytes) - filled, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return E_FAIL;
        }
        filled += static_cast<std::size_t>(got);
    }
    GUID guid;
    std::memcpy(&guid, bytes, sizeof(guid));
    // Mark it as a random GUID (version 4, RFC 4122 variant) like the platform does.
    guid.Data3 = static_cast<WORD>((guid.Data3 & 0x0FFF) | 0x4000);
    guid.Data4[0] = static_cast<BYTE>((guid.Data4[0] & 0x3F) | 0x80);
    *pGuid = guid;
    return S_OK;
}

std::string GuidToString(const GUID& guid)
{
    char text[kBracedLength + 1];
    std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return std::string(text, kBracedLength);
}

std::u16string GuidToWString(const GUID& guid)
{
    std::string narrow = GuidToString(guid);
    return std::u16string(narrow.begin(), narrow.end());
}

int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int capacity)
{
    if (buffer == nullptr || capacity < static_cast<int>(kBracedLength + 1))
        return 0;
    std::u16string text = GuidToWString(guid);
    std::char_traits<char16_t>::copy(buffer, text.c_str(), text.size() + 1);
    return static_cast<int>(text.size() + 1);
}

std::optional<GUID> GuidFromString(std::string_view text)
{
    return parseBraced(text);
}

std::optional<GUID> GuidFromString(std::u16string_view text)
{
    return parseBraced(text);
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* pClsid)
{
    if (text == nullptr || pClsid == nullptr)
        return E_INVALIDARG;
    std::optional<GUID> parsed = GuidFromString(std::u16string_view(text));
    if (!parsed)
        return CO_E_CLASSSTRING;
    *pClsid = *parsed;
    return S_OK;
}

std::ostream& operator<<(std::ostream& out, const GUID& guid)
{
    return out << GuidToString(guid);
}

std::size_t std::hash<GUID>::operator()(const GUID& guid) const noexcept
{
    return std::hash<std::string_view>()(
        std::string_view(reinterpret_cast<const char*>(&guid), sizeof(GUID)));
}
