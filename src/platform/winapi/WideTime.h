// The stand-in for the run-time's wcsftime on VDS's wide text (WCHAR is char16_t here):
// strftime on the UTF-8 form of the format, in the process's locale, widened again.
#pragma once

#include "platform/com/WinTypes.h"

#include <cstddef>
#include <ctime>

// The number of characters written without the terminator; 0 when the result and its
// terminator do not fit in `maxsize` characters (the buffer's content is then undefined,
// as with wcsftime), or for a null buffer or format.
std::size_t wcsftime(WCHAR* strDest, std::size_t maxsize, const WCHAR* format,
                     const struct tm* timeptr);
