// COM task memory: the allocator of every string and record handed across a COM
// interface. The receiver frees it with CoTaskMemFree.
#pragma once

#include "platform/com/WinTypes.h"

#include <cstring>
#include <string_view>

// A zero-byte request still gives a unique pointer, as on Windows; null only when memory
// is exhausted.
LPVOID CoTaskMemAlloc(SIZE_T cb);

// Null `pv` allocates; a zero `cb` with non-null `pv` frees and returns null. On failure
// the old block is untouched and null is returned.
LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb);

void CoTaskMemFree(LPVOID pv);

// A terminated copy of `text` in task memory, or null when memory is exhausted.
LPWSTR CoTaskMemDupString(std::u16string_view text);
char* CoTaskMemDupString(std::string_view text);

// Task memory for `count` records of T, zero-filled; null for exhausted memory or a byte
// size that overflows.
template <class T>
T* CoTaskMemAllocZeroed(SIZE_T count)
{
    if (count != 0 && count > static_cast<SIZE_T>(-1) / sizeof(T))
        return nullptr;
    void* p = CoTaskMemAlloc(count * sizeof(T));
    if (p != nullptr)
        std::memset(p, 0, count * sizeof(T));
    return static_cast<T*>(p);
}
