#include "platform/com/Bstr.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

using Prefix = std::uint32_t;

// Room for the prefix, the text and the terminator.
constexpr std::size_t kMaxChars =
    (std::numeric_limits<Prefix>::max() - sizeof(OLECHAR)) / sizeof(OLECHAR);

unsigned char* blockOf(BSTR bstr)
{
    return reinterpret_cast<unsigned char*>(bstr) - sizeof(Prefix);
}

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch)
{
    if (cch > kMaxChars)
        return nullptr;
    const std::size_t textBytes = static_cast<std::size_t>(cch) * sizeof(OLECHAR);
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(Prefix) + textBytes + sizeof(OLECHAR)));
    if (block == nullptr)
        return nullptr;
    const Prefix prefix = static_cast<Prefix>(textBytes);
    std::memcpy(block, &prefix, sizeof(prefix));
    auto* text = reinterpret_cast<OLECHAR*>(block + sizeof(Prefix));
    if (pch != nullptr)
        std::memcpy(text, pch, textBytes);
    else
        std::memset(text, 0, textBytes);
    text[cch] = u'\0';
    return text;
}

BSTR SysAllocString(const OLECHAR* psz)
{
    if (psz == nullptr)
        return nullptr;
    return SysAllocString(std::u16string_view(psz));
}

BSTR SysAllocString(std::u16string_view text)
{
    if (text.size() > kMaxChars)
        return nullptr;
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

BOOL SysReAllocString(BSTR* pbstr, const OLECHAR* psz)
{
    if (pbstr == nullptr)
        return FALSE;
    BSTR copy = SysAllocString(psz);
    if (copy == nullptr && psz != nullptr)
        return FALSE;
    SysFreeString(*pbstr);
    *pbstr = copy;
    return TRUE;
}

void SysFreeString(BSTR bstr)
{
    if (bstr != nullptr)
        std::free(blockOf(bstr));
}

UINT SysStringByteLen(BSTR bstr)
{
    if (bstr == nullptr)
        return 0;
    Prefix prefix;
    std::memcpy(&prefix, blockOf(bstr), sizeof(prefix));
    return prefix;
}

UINT SysStringLen(BSTR bstr)
{
    return SysStringByteLen(bstr) / sizeof(OLECHAR);
}

std::u16string_view BstrView(BSTR bstr)
{
    if (bstr == nullptr)
        return {};
    return std::u16string_view(bstr, SysStringLen(bstr));
}
