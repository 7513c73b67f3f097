#include "platform/com/TaskMemory.h"

#include <cstdlib>
#include <cstring>

LPVOID CoTaskMemAlloc(SIZE_T cb)
{
    return std::malloc(cb == 0 ? 1 : cb);
}

LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb)
{
    if (pv == nullptr)
        return CoTaskMemAlloc(cb);
    if (cb == 0) {
        std::free(pv);
        return nullptr;
    }
    return std::realloc(pv, cb);
}

void CoTaskMemFree(LPVOID pv)
{
    std::free(pv);
}

namespace {

template <class CharT>
CharT* duplicate(std::basic_string_view<CharT> text)
{
    auto* copy = static_cast<CharT*>(CoTaskMemAlloc((text.size() + 1) * sizeof(CharT)));
    if (copy == nullptr)
        return nullptr;
    std::char_traits<CharT>::copy(copy, text.data(), text.size());
    copy[text.size()] = CharT();
    return copy;
}

}  // namespace

LPWSTR CoTaskMemDupString(std::u16string_view text)
{
    return duplicate(text);
}

char* CoTaskMemDupString(std::string_view text)
{
    return duplicate(text);
}
