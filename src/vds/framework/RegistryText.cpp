#include "vds/framework/RegistryText.h"

std::u16string RegistryStringText(const BYTE* data, DWORD size)
{
    std::u16string text;
    for (DWORD i = 0; i + 1 < size; i += 2) {
        const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (c == u'\0')
            break;
        text.push_back(c);
    }
    return text;
}
