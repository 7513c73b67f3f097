// SHA-256 and HMAC-SHA-256 for the protection of stored passwords, from the system's
// OpenSSL library: cryptographic primitives are not something to write ourselves.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

struct evp_md_ctx_st;

class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void update(std::span<const std::uint8_t> data);
    // The digest of everything given; the object is spent afterwards.
    Digest finish();

    static Digest hash(std::span<const std::uint8_t> data);
    static Digest hmac(std::span<const std::uint8_t> key, std::span<const std::uint8_t> data);

private:
    struct ContextDeleter {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, ContextDeleter> m_context;
};
