#include "vds/framework/Sha256.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <stdexcept>

namespace {

void check(int result, const char* what)
{
    // Only allocation failure or a broken library makes these calls fail.
    if (result != 1)
        throw std::runtime_error(what);
}

} // namespace

void Sha256::ContextDeleter::operator()(evp_md_ctx_st* context) const { EVP_MD_CTX_free(context); }

Sha256::Sha256() : m_context(EVP_MD_CTX_new())
{
    if (!m_context)
        throw std::bad_alloc();
    check(EVP_DigestInit_ex(m_context.get(), EVP_sha256(), nullptr), "SHA-256 initialisation failed");
}

Sha256::~Sha256() = default;

void Sha256::update(std::span<const std::uint8_t> data)
{
    check(EVP_DigestUpdate(m_context.get(), data.data(), data.size()), "SHA-256 update failed");
}

Sha256::Digest Sha256::finish()
{
    Digest digest{};
    unsigned int length = 0;
    check(EVP_DigestFinal_ex(m_context.get(), digest.data(), &length), "SHA-256 final failed");
    return digest;
}

Sha256::Digest Sha256::hash(std::span<const std::uint8_t> data)
{
    Sha256 sha;
    sha.update(data);
    return sha.finish();
}

Sha256::Digest Sha256::hmac(std::span<const std::uint8_t> key, std::span<const std::uint8_t> data)
{
    Digest mac{};
    unsigned int length = 0;
    if (!HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), data.data(), data.size(),
              mac.data(), &length))
        throw std::runtime_error("HMAC-SHA-256 failed");
    return mac;
}
