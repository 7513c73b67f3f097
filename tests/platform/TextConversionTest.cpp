#include "platform/com/TextConversion.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using orv::platform::Utf16ToUtf8;
using orv::platform::Utf8ToUtf16;

TEST(TextConversion, WellFormedTextRoundTrips)
{
    const std::string samples[] = {
        "",
        "iqn.2001-05.com.corvane:array1",
        "caf\xC3\xA9",                        // U+00E9, two bytes
        "\xE2\x82\xAC 5",                     // U+20AC, three bytes
        "\xF0\x9F\x92\xBE disk",              // U+1F4BE, outside the BMP
        "\xF4\x8F\xBF\xBF",                   // U+10FFFF, the last code point
        std::string("a\0b", 3),               // embedded null survives
    };
    for (const std::string& sample : samples)
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(sample)), sample);
}

TEST(TextConversion, NonBmpCharactersBecomeSurrogatePairs)
{
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x92\xBE"), (std::u16string{0xD83D, 0xDCBE}));
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD83D, 0xDCBE}), "\xF0\x9F\x92\xBE");
}

struct InvalidUtf8Case {
    const char* description;
    std::string input;
    std::u16string expected;
};

TEST(TextConversion, IllFormedUtf8BecomesOneReplacementPerMaximalSubpart)
{
    const char16_t R = 0xFFFD;
    const InvalidUtf8Case cases[] = {
        {"lone continuation byte", "\x80", {R}},
        {"overlong slash", "\xC0\xAF", {R, R}},
        {"overlong three-byte form", "\xE0\x80\x80", {R, R, R}},
        {"encoded surrogate", "\xED\xA0\x80", {R, R, R}},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", {R, R, R, R}},
        {"byte that never leads", "\xF5", {R}},
        {"truncated at the end", "ab\xE2\x82", {u'a', u'b', R}},
        {"truncated before ASCII", "\xE2\x82" "B", {R, u'B'}},
        {"four-byte lead cut by a new lead", "\xF0\x9F\xC3\xA9", {R, 0x00E9}},
        {"0xFF", "x\xFFy", {u'x', R, u'y'}},
    };
    for (const InvalidUtf8Case& c : cases)
        EXPECT_EQ(Utf8ToUtf16(c.input), c.expected) << c.description;
}

TEST(TextConversion, UnpairedSurrogatesBecomeReplacements)
{
    const std::string R = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800}), R);
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00, u'a'}), R + "a");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'a'}), R + "a");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00, 0xD800}), R + R);
}

TEST(TextConversion, NullWideTextReadsAsEmpty)
{
    EXPECT_EQ(Utf16ToUtf8(static_cast<LPCWSTR>(nullptr)), "");
    EXPECT_EQ(orv::platform::WideLength(nullptr), 0u);
    EXPECT_EQ(orv::platform::WideLength(u"host"), 4u);
}

}  // namespace
