// The protected form of a stored password: a 128-byte blob that only this machine can read
// back (ProtectionKey) and that shows when it was altered.
//
// Blob layout: bytes 0 to 7 a random nonce; bytes 8 to 119 the encrypted body; bytes 120
// to 127 an authentication tag. The body holds the byte length n of the UTF-16LE text at
// byte 0, the text from byte 1, and random filler after it; n is at most 109 bytes, so a
// password of 54 UTF-16 code units fits and one of 55 does not. The body is encrypted with
// a keystream of HMAC-SHA-256 blocks over (nonce, block number) under a key derived from
// the machine key, and the tag is HMAC-SHA-256 over nonce and ciphertext under a second
// derived key (encrypt, then authenticate). A fresh nonce and filler make every blob of
// one password different.
//
// Results are the managed-array list's codes (CorvaneInfoList).
#pragma once

#include "platform/com/WinTypes.h"

#include <cstddef>
#include <string_view>

class PasswordProtector {
public:
    static constexpr std::size_t kBlobSize = 128;
    static constexpr std::size_t kMaxTextBytes = 109;

    // 0, or 8 for a text longer than 109 bytes, 9 for a buffer under 128 bytes, 2 for a
    // null buffer, 6 when the machine key can neither be read nor made. Writes the first
    // 128 bytes of `buffer`.
    static int Protect(std::u16string_view password, BYTE* buffer, std::size_t size);

    // 0 with the terminated text in `buffer`, or 9 for a blob under 128 bytes or a buffer
    // (`capacity` in bytes) without room for the text and its terminator, 2 for null
    // pointers or a blob that this machine did not write or that was altered, 5 when the
    // machine key cannot be read.
    static int Unprotect(const BYTE* blob, std::size_t size, WCHAR* buffer, std::size_t capacity);
};
