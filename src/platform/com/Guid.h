// GUIDs: the 16-byte identifier of COM classes, interfaces and VDS objects.
//
// Ordering and equality compare the 16 bytes in memory order as unsigned bytes (so the
// little-endian Data1 bytes come first); every ordered container of VDS objects relies on
// that order. Text form is the registry's "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include "platform/com/WinTypes.h"

#include <compare>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
static_assert(sizeof(GUID) == 16, "GUID must be 16 bytes");

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr GUID GUID_NULL{};

bool operator==(const GUID& a, const GUID& b) noexcept;
std::strong_ordering operator<=>(const GUID& a, const GUID& b) noexcept;

inline bool IsEqualGUID(REFGUID a, REFGUID b) noexcept { return a == b; }
inline bool IsEqualIID(REFIID a, REFIID b) noexcept { return a == b; }
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b) noexcept { return a == b; }

// A new random (version 4) GUID. Fails with E_FAIL only when the system's random source
// does.
HRESULT CoCreateGuid(GUID* pGuid);

// Writes the braced text with its terminator into `buffer`; returns the number of
// characters written including the terminator, or 0 when `capacity` is below 39.
int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int capacity);

// Braced, upper-case text ("{0F1E2D3C-...}").
std::string GuidToString(const GUID& guid);
std::u16string GuidToWString(const GUID& guid);

// Parses the braced text; hex digits in either case. Anything else (missing braces or
// dashes, wrong length, trailing characters) gives no value.
std::optional<GUID> GuidFromString(std::string_view text);
std::optional<GUID> GuidFromString(std::u16string_view text);

// The platform's spelling of the parse, for registry values that hold class ids:
// CO_E_CLASSSTRING for text that is not a braced GUID, E_INVALIDARG for null pointers.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* pClsid);

std::ostream& operator<<(std::ostream& out, const GUID& guid);

template <>
struct std::hash<GUID> {
    std::size_t operator()(const GUID& guid) const noexcept;
};
