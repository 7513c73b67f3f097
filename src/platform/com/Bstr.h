// BSTRs: length-prefixed UTF-16 strings of OLE automation, used by our dispatch
// interfaces.
//
// A BSTR points at the first character; the four bytes before it hold the byte length of
// the text (without the terminator), and a terminator follows the text. A null BSTR is a
// valid empty string for every function here.
#pragma once

#include "platform/com/WinTypes.h"

#include <string_view>

using BSTR = OLECHAR*;

// Null `psz` gives a null BSTR.
BSTR SysAllocString(const OLECHAR* psz);

// `cch` characters copied from `pch`, or zero-filled when `pch` is null; null when memory
// is exhausted or the byte length would not fit the 32-bit prefix.
BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch);

// Replaces *pbstr with a copy of `psz` (freeing the old string). FALSE when memory is
// exhausted (the old string stays) or pbstr is null.
BOOL SysReAllocString(BSTR* pbstr, const OLECHAR* psz);

void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);

// The text of a BSTR (embedded nulls included); empty for null.
std::u16string_view BstrView(BSTR bstr);

// A BSTR holding `text`, null when memory is exhausted.
BSTR SysAllocString(std::u16string_view text);
