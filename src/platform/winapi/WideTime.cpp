#include "platform/winapi/WideTime.h"

#include "platform/com/TextConversion.h"

#include <algorithm>
#include <string>
#include <vector>

std::size_t wcsftime(WCHAR* strDest, std::size_t maxsize, const WCHAR* format,
                     const struct tm* timeptr)
{
    if (strDest == nullptr || format == nullptr || timeptr == nullptr || maxsize == 0)
        return 0;
    const std::string narrowFormat = orv::platform::Utf16ToUtf8(format);
    if (narrowFormat.empty()) {
        strDest[0] = u'\0';
        return 0;
    }
    // UTF-8 takes at most three bytes for a UTF-16 unit, so this is room enough for any
    // result that fits the caller's buffer.
    std::vector<char> narrow(maxsize * 3 + 1);
    const std::size_t length = std::strftime(narrow.data(), narrow.size(), narrowFormat.c_str(), timeptr);
    if (length == 0)
        return 0;
    const std::u16string wide = orv::platform::Utf8ToUtf16(std::string_view(narrow.data(), length));
    if (wide.size() + 1 > maxsize)
        return 0;
    std::copy(wide.begin(), wide.end(), strDest);
    strDest[wide.size()] = u'\0';
    return wide.size();
}
