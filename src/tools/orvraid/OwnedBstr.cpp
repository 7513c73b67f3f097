#include "OwnedBstr.h"

#include "platform/com/TextConversion.h"

#include <algorithm>
#include <new>

namespace orvraid {

OwnedBstr::OwnedBstr(std::string_view text, Kind kind) : m_kind(kind)
{
    const std::u16string wide = orv::platform::Utf8ToUtf16(text);
    m_bstr = SysAllocString(std::u16string_view(wide));
    if (m_bstr == nullptr)
        throw std::bad_alloc();
}

OwnedBstr::~OwnedBstr() { release(); }

BSTR* OwnedBstr::put()
{
    release();
    return &m_bstr;
}

std::string OwnedBstr::utf8() const { return orv::platform::Utf16ToUtf8(BstrView(m_bstr)); }

void OwnedBstr::release()
{
    if (m_bstr == nullptr)
        return;
    if (m_kind == Kind::Secret) {
        // volatile keeps the wipe from being dropped as a dead store before the free.
        volatile OLECHAR* text = m_bstr;
        for (UINT i = 0, n = SysStringLen(m_bstr); i < n; ++i)
            text[i] = 0;
    }
    SysFreeString(m_bstr);
    m_bstr = nullptr;
}

}  // namespace orvraid
