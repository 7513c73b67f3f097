#include "vds/framework/PasswordProtector.h"
#include "vds/framework/ProtectionKey.h"
#include "vds/framework/Sha256.h"

#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::span<const std::uint8_t> bytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string hex(const Sha256::Digest& digest)
{
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : digest) {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 0xF]);
    }
    return text;
}

struct HashCase {
    std::string message;
    const char* digest;
};

} // namespace

TEST(Sha256Test, KnownDigestsWholeAndInPieces)
{
    const HashCase cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const HashCase& row : cases) {
        SCOPED_TRACE(row.message.substr(0, 20));
        EXPECT_EQ(hex(Sha256::hash(bytes(row.message))), row.digest);
        if (row.message.size() > 200)
            continue;
        // Every split point gives the same digest: block boundaries are handled.
        for (std::size_t split = 0; split <= row.message.size(); ++split) {
            Sha256 sha;
            sha.update(bytes(row.message).first(split));
            sha.update(bytes(row.message).subspan(split));
            EXPECT_EQ(hex(sha.finish()), row.digest) << "split at " << split;
        }
    }
}

TEST(Sha256Test, HmacMatchesTheRfc4231Vectors)
{
    EXPECT_EQ(hex(Sha256::hmac(std::vector<std::uint8_t>(20, 0x0b), bytes("Hi There"))),
              "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
    EXPECT_EQ(hex(Sha256::hmac(bytes("Jefe"), bytes("what do ya want for nothing?"))),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    // A key longer than a block is hashed first.
    EXPECT_EQ(hex(Sha256::hmac(std::vector<std::uint8_t>(131, 0xaa),
                               bytes("Test Using Larger Than Block-Size Key - Hash Key First"))),
              "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
}

class PasswordProtectorTest : public ::testing::Test {
protected:
    using Blob = std::array<BYTE, PasswordProtector::kBlobSize>;

    static std::u16string unprotect(const Blob& blob, int& result)
    {
        std::array<WCHAR, 200> text{};
        result = PasswordProtector::Unprotect(blob.data(), blob.size(), text.data(),
                                              text.size() * 2);
        return text.data();
    }

    ScratchRegistry m_registry;
};

TEST_F(PasswordProtectorTest, PasswordsUpTo54CodeUnitsRoundTrip)
{
    const std::u16string passwords[] = {
        u"",
        u"secret",
        std::u16string(54, u'x'),
        u"p\u00e4ssw\u00f6rd \U0001F512 \u6f22\u5b57",
        std::u16string(53, u'\u20ac') + std::u16string(1, u'\0'),
    };
    for (const std::u16string& password : passwords) {
        Blob blob{};
        ASSERT_EQ(PasswordProtector::Protect(password, blob.data(), blob.size()), 0);
        int result = -1;
        const std::u16string back = unprotect(blob, result);
        EXPECT_EQ(result, 0);
        // An embedded terminator ends the text it gives back.
        EXPECT_EQ(back, std::u16string(password.c_str()));
    }
}

TEST_F(PasswordProtectorTest, LengthAndBufferLimits)
{
    Blob blob{};
    EXPECT_EQ(PasswordProtector::Protect(std::u16string(55, u'x'), blob.data(), blob.size()), 8);
    // Too long wins over a too small buffer.
    EXPECT_EQ(PasswordProtector::Protect(std::u16string(55, u'x'), blob.data(), 127), 8);
    EXPECT_EQ(PasswordProtector::Protect(u"short", blob.data(), 127), 9);
    EXPECT_EQ(PasswordProtector::Protect(u"short", nullptr, 128), 2);

    ASSERT_EQ(PasswordProtector::Protect(u"twelve chars", blob.data(), blob.size()), 0);
    std::array<WCHAR, 13> exact{};
    EXPECT_EQ(PasswordProtector::Unprotect(blob.data(), 127, exact.data(), 26), 9);
    EXPECT_EQ(PasswordProtector::Unprotect(blob.data(), 128, exact.data(), 25), 9);
    EXPECT_EQ(PasswordProtector::Unprotect(blob.data(), 128, exact.data(), 26), 0);
    EXPECT_EQ(std::u16string(exact.data()), u"twelve chars");
}

TEST_F(PasswordProtectorTest, EveryProtectionOfOnePasswordDiffers)
{
    Blob first{}, second{};
    ASSERT_EQ(PasswordProtector::Protect(u"same", first.data(), first.size()), 0);
    ASSERT_EQ(PasswordProtector::Protect(u"same", second.data(), second.size()), 0);
    EXPECT_NE(first, second);
    int result = -1;
    EXPECT_EQ(unprotect(first, result), u"same");
    EXPECT_EQ(unprotect(second, result), u"same");
}

TEST_F(PasswordProtectorTest, AnyAlteredByteIsRefused)
{
    Blob blob{};
    ASSERT_EQ(PasswordProtector::Protect(u"do not touch", blob.data(), blob.size()), 0);
    for (std::size_t i = 0; i < blob.size(); ++i) {
        Blob altered = blob;
        altered[i] ^= 0x01;
        int result = -1;
        unprotect(altered, result);
        EXPECT_EQ(result, 2) << "byte " << i;
    }
}

TEST_F(PasswordProtectorTest, AnotherMachineCannotReadTheBlob)
{
    Blob blob{};
    ASSERT_EQ(PasswordProtector::Protect(u"local only", blob.data(), blob.size()), 0);
    const auto keyFile = ProtectionKey::path();
    struct stat info {};
    ASSERT_EQ(::stat(keyFile.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(info.st_size, 32);
    {
        ScratchRegistry otherMachine;
        int result = -1;
        unprotect(blob, result);
        EXPECT_EQ(result, 2);
    }
}
