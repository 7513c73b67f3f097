// Conversion between the program's narrow text (UTF-8, standing in for the process ANSI
// code page: array data, host names, trace text) and VDS's wide text (UTF-16).
//
// Invalid input never fails and never reads out of bounds: each ill-formed UTF-8
// sequence (a maximal invalid subpart, as Unicode recommends) and each unpaired surrogate
// becomes U+FFFD.
#pragma once

#include "platform/com/WinTypes.h"

#include <string>
#include <string_view>

namespace orv::platform {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Terminated wide text from a VDS argument; null reads as empty.
std::string Utf16ToUtf8(LPCWSTR text);

// Length of terminated wide text; 0 for null.
std::size_t WideLength(LPCWSTR text);

}  // namespace orv::platform
