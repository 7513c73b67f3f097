// Text of REG_SZ values read into byte buffers.
#pragma once

#include "platform/com/WinTypes.h"

#include <string>

// The UTF-16LE text in the first `size` bytes of `data`, up to its terminator.
std::u16string RegistryStringText(const BYTE* data, DWORD size);
