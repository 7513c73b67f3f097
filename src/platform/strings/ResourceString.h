// What string resources share, whichever table they come from: the LoadString copy
// convention and the formatting of their texts.
#pragma once

#include "platform/com/WinTypes.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace orv::platform {

// LoadString's convention: copies at most `capacity` - 1 characters and a terminator and
// returns the number of characters copied (0 for a null buffer or a capacity of 0).
int copyResourceString(std::u16string_view text, WCHAR* buffer, int capacity);

// Formats a resource text the way the program's printf-style calls do for the directives
// the string tables use: "%s" and "%S" each take the next argument (callers widen narrow
// text first), "%%" gives "%". Any other directive, and a "%s" for which no argument is
// left, is copied as it stands; surplus arguments are ignored.
std::u16string formatResourceString(std::u16string_view format,
                                    std::initializer_list<std::u16string_view> arguments);

}  // namespace orv::platform
