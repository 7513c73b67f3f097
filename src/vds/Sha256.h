// SHA-256 (FIPS 180-4) and HMAC-SHA-256 (RFC 2104), for the protection of stored
// passwords. Written here because the product depends on no cryptography library.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;
    static constexpr std::size_t kBlockSize = 64;

    Sha256();
    void update(std::span<const std::uint8_t> data);
    // The digest of everything given; the object is spent afterwards.
    Digest finish();

    static Digest hash(std::span<const std::uint8_t> data);
    static Digest hmac(std::span<const std::uint8_t> key, std::span<const std::uint8_t> data);

private:
    void compressBlock(const std::uint8_t* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, kBlockSize> m_buffer{};
    std::size_t m_buffered = 0;
    std::uint64_t m_totalBytes = 0;
};
