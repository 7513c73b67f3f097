#include "platform/strings/ResourceString.h"

#include <algorithm>

namespace orv::platform {

int copyResourceString(std::u16string_view text, WCHAR* buffer, int capacity)
{
    if (buffer == nullptr || capacity <= 0)
        return 0;
    const std::size_t copied = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
    std::char_traits<char16_t>::copy(buffer, text.data(), copied);
    buffer[copied] = u'\0';
    return static_cast<int>(copied);
}

std::u16string formatResourceString(std::u16string_view format,
                                    std::initializer_list<std::u16string_view> arguments)
{
    std::u16string result;
    result.reserve(format.size());
    auto next = arguments.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char16_t c = format[i];
        const char16_t directive = i + 1 < format.size() ? format[i + 1] : u'\0';
        if (c == u'%' && directive == u'%') {
            result += u'%';
            ++i;
        } else if (c == u'%' && (directive == u's' || directive == u'S') &&
                   next != arguments.end()) {
            result += *next++;
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace orv::platform
