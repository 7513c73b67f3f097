#include "cim/http/CIMHttpHeaders.h"

#include <gtest/gtest.h>

namespace cim {
namespace {

struct EncodeCase {
    std::string text;
    std::string encoded;
};

void PrintTo(const EncodeCase& c, std::ostream* out)
{
    *out << c.encoded;
}

class CIMHttpHeadersEncoding : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(CIMHttpHeadersEncoding, EncodesAndDecodesBack)
{
    EXPECT_EQ(CIMHttpHeaders::encodeValue(GetParam().text), GetParam().encoded);
    EXPECT_EQ(CIMHttpHeaders::decodeValue(GetParam().encoded), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CIMHttpHeadersEncoding,
    ::testing::Values(EncodeCase{"root/snia", "root%2Fsnia"},
                      EncodeCase{"test/peersbench", "test%2Fpeersbench"},
                      EncodeCase{"GetInstance", "GetInstance"},
                      EncodeCase{"", ""},
                      EncodeCase{"root/snia:CIM_StorageVolume.DeviceID=\"v 1\",SystemName=\"a%b\"",
                                 "root%2Fsnia:CIM_StorageVolume.DeviceID=%22v%201%22,SystemName=%22a%25b%22"},
                      EncodeCase{"tab\there\nand\x7f", "tab%09here%0Aand%7F"},
                      EncodeCase{"<>{}|\\^[]`#", "%3C%3E%7B%7D%7C%5C%5E%5B%5D%60%23"},
                      EncodeCase{"caf\xC3\xA9 \xE2\x82\xAC", "caf%C3%A9%20%E2%82%AC"},
                      EncodeCase{"\xF0\x9F\x92\xBE", "%F0%9F%92%BE"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(CIMHttpHeaders, EveryEncodedByteIsSafeInAHeader)
{
    std::string all;
    for (int c = 1; c < 0x80; ++c)
        all.push_back(static_cast<char>(c));
    const std::string encoded = CIMHttpHeaders::encodeValue(all);
    for (char c : encoded) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte > 0x20 && byte < 0x7F) << int(byte);
    }
    EXPECT_EQ(CIMHttpHeaders::decodeValue(encoded), all);
    EXPECT_EQ(CIMHttpHeaders::decodeValue("%e2%82%ac"), "\xE2\x82\xAC") << "lower-case hex digits";
}

TEST(CIMHttpHeaders, DecodingRejectsBrokenEscapesAndInvalidUtf8)
{
    for (const char* bad : {"%", "abc%4", "%G1", "%4G", "%%", "%C3%28", "%C0%AF", "%ED%A0%80", "%F4%90%80%80", "%E2%82",
                            "%FF", "\x80"}) {
        EXPECT_FALSE(CIMHttpHeaders::decodeValue(bad).has_value()) << bad;
    }
}

TEST(CIMHttpHeaders, Utf8Boundaries)
{
    EXPECT_TRUE(CIMHttpHeaders::isValidUtf8("\x7F"));
    EXPECT_TRUE(CIMHttpHeaders::isValidUtf8("\xC2\x80"));
    EXPECT_TRUE(CIMHttpHeaders::isValidUtf8("\xED\x9F\xBF"));    // U+D7FF, last before the surrogates
    EXPECT_TRUE(CIMHttpHeaders::isValidUtf8("\xEE\x80\x80"));    // U+E000, first after them
    EXPECT_TRUE(CIMHttpHeaders::isValidUtf8("\xF4\x8F\xBF\xBF")); // U+10FFFF
    EXPECT_FALSE(CIMHttpHeaders::isValidUtf8("\xC1\xBF"));        // overlong U+007F
    EXPECT_FALSE(CIMHttpHeaders::isValidUtf8("\xE0\x9F\xBF"));    // overlong U+07FF
    EXPECT_FALSE(CIMHttpHeaders::isValidUtf8("\xF0\x8F\xBF\xBF")); // overlong U+FFFF
    EXPECT_FALSE(CIMHttpHeaders::isValidUtf8("\xE2\x28\xA1"));
}

TEST(CIMHttpHeaders, TokensCompareWithoutCaseAndSurroundingBlanks)
{
    EXPECT_TRUE(CIMHttpHeaders::tokenEquals(" methodresponse\t", "MethodResponse"));
    EXPECT_FALSE(CIMHttpHeaders::tokenEquals("MethodResponses", "MethodResponse"));
    EXPECT_FALSE(CIMHttpHeaders::tokenEquals("", "MethodResponse"));
}

} // namespace
} // namespace cim
