#include "vds/framework/PasswordProtector.h"

#include "vds/framework/ProtectionKey.h"
#include "vds/framework/Sha256.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace {

constexpr std::size_t kNonceSize = 8;
constexpr std::size_t kTagSize = 8;
constexpr std::size_t kBodySize = PasswordProtector::kBlobSize - kNonceSize - kTagSize;
static_assert(1 + PasswordProtector::kMaxTextBytes <= kBodySize);

constexpr int kSuccess = 0;
constexpr int kInvalidParameter = 2;
constexpr int kReadFailed = 5;
constexpr int kWriteFailed = 6;
constexpr int kTextTooLong = 8;
constexpr int kBufferTooShort = 9;

using Body = std::array<std::uint8_t, kBodySize>;

struct DerivedKeys {
    Sha256::Digest encryption;
    Sha256::Digest authentication;
};

DerivedKeys deriveKeys(const ProtectionKey::Key& machineKey)
{
    constexpr std::string_view kEncryptionLabel = "OrvVds managed-array password encryption";
    constexpr std::string_view kAuthenticationLabel = "OrvVds managed-array password tag";
    auto label = [](std::string_view text) {
        return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    };
    return {Sha256::hmac(machineKey, label(kEncryptionLabel)),
            Sha256::hmac(machineKey, label(kAuthenticationLabel))};
}

// XORs `body` with the keystream of `nonce`: block i is HMAC(key, nonce || i).
void applyKeystream(const Sha256::Digest& key, const std::uint8_t* nonce, std::uint8_t* body)
{
    for (std::size_t offset = 0, block = 0; offset < kBodySize; offset += 32, ++block) {
        std::array<std::uint8_t, kNonceSize + 1> input;
        std::copy_n(nonce, kNonceSize, input.begin());
        input[kNonceSize] = static_cast<std::uint8_t>(block);
        const Sha256::Digest stream = Sha256::hmac(key, input);
        for (std::size_t i = 0; i < 32 && offset + i < kBodySize; ++i)
            body[offset + i] ^= stream[i];
    }
}

std::array<std::uint8_t, kTagSize> tagOf(const Sha256::Digest& key, const std::uint8_t* blob)
{
    const Sha256::Digest mac = Sha256::hmac(key, std::span(blob, kNonceSize + kBodySize));
    std::array<std::uint8_t, kTagSize> tag;
    std::copy_n(mac.begin(), kTagSize, tag.begin());
    return tag;
}

// Compares without stopping at the first difference, so the time taken tells nothing.
bool sameTag(const std::array<std::uint8_t, kTagSize>& a, const std::uint8_t* b)
{
    std::uint8_t difference = 0;
    for (std::size_t i = 0; i < kTagSize; ++i)
        difference |= static_cast<std::uint8_t>(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

int PasswordProtector::Protect(std::u16string_view password, BYTE* buffer, std::size_t size)
{
    const std::size_t textBytes = password.size() * 2;
    if (textBytes > kMaxTextBytes)
        return kTextTooLong;
    if (size < kBlobSize)
        return kBufferTooShort;
    if (buffer == nullptr)
        return kInvalidParameter;
    const std::optional<ProtectionKey::Key> machineKey = ProtectionKey::machineKey();
    if (!machineKey)
        return kWriteFailed;

    std::array<std::uint8_t, kBlobSize> blob;
    if (!ProtectionKey::randomBytes(blob.data(), kNonceSize + kBodySize))
        return kWriteFailed;
    std::uint8_t* body = blob.data() + kNonceSize;
    body[0] = static_cast<std::uint8_t>(textBytes);
    for (std::size_t i = 0; i < password.size(); ++i) {
        body[1 + 2 * i] = static_cast<std::uint8_t>(password[i] & 0xFF);
        body[2 + 2 * i] = static_cast<std::uint8_t>(password[i] >> 8);
    }
    const DerivedKeys keys = deriveKeys(*machineKey);
    applyKeystream(keys.encryption, blob.data(), body);
    const auto tag = tagOf(keys.authentication, blob.data());
    std::copy(tag.begin(), tag.end(), blob.begin() + kNonceSize + kBodySize);
    std::memcpy(buffer, blob.data(), kBlobSize);
    return kSuccess;
}

int PasswordProtector::Unprotect(const BYTE* blob, std::size_t size, WCHAR* buffer,
                                 std::size_t capacity)
{
    if (size < kBlobSize)
        return kBufferTooShort;
    if (blob == nullptr || buffer == nullptr)
        return kInvalidParameter;
    const std::optional<ProtectionKey::Key> machineKey =
        ProtectionKey::machineKey(ProtectionKey::Use::Unprotect);
    if (!machineKey)
        return kReadFailed;
    const DerivedKeys keys = deriveKeys(*machineKey);
    if (!sameTag(tagOf(keys.authentication, blob), blob + kNonceSize + kBodySize))
        return kInvalidParameter;

    Body body;
    std::copy_n(blob + kNonceSize, kBodySize, body.begin());
    applyKeystream(keys.encryption, blob, body.data());
    const std::size_t textBytes = body[0];
    if (textBytes > kMaxTextBytes || textBytes % 2 != 0)
        return kInvalidParameter;
    if (capacity < textBytes + 2)
        return kBufferTooShort;
    for (std::size_t i = 0; i < textBytes / 2; ++i)
        buffer[i] = static_cast<WCHAR>(body[1 + 2 * i] | (body[2 + 2 * i] << 8));
    buffer[textBytes / 2] = u'\0';
    return kSuccess;
}
