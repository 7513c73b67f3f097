#include "platform/com/Guid.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

constexpr GUID kSample = {0x00112233, 0x4455, 0x6677, {0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}};

TEST(Guid, TextShowsFieldsMostSignificantDigitFirst)
{
    EXPECT_EQ(GuidToString(kSample), "{00112233-4455-6677-8899-AABBCCDDEEFF}");
    EXPECT_EQ(GuidToWString(kSample), u"{00112233-4455-6677-8899-AABBCCDDEEFF}");
}

TEST(Guid, TextRoundTripsForRandomGuids)
{
    for (int i = 0; i < 200; ++i) {
        GUID guid;
        ASSERT_EQ(CoCreateGuid(&guid), S_OK);
        std::optional<GUID> back = GuidFromString(GuidToString(guid));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, guid);
        EXPECT_EQ(GuidFromString(GuidToWString(guid)), guid);
    }
}

TEST(Guid, ParsesLowerCaseHex)
{
    EXPECT_EQ(GuidFromString("{00112233-4455-6677-8899-aabbccddeeff}"), kSample);
}

TEST(Guid, RejectsMalformedText)
{
    const char* const malformed[] = {
        "",
        "00112233-4455-6677-8899-AABBCCDDEEFF",    // no braces
        "{00112233-4455-6677-8899-AABBCCDDEEFF",   // no closing brace
        "{00112233-4455-6677-8899-AABBCCDDEEFF}x", // trailing text
        "{00112233-4455-6677-8899AABBCCDDEEFF0}",  // dash missing, length kept
        "{0011223-34455-6677-8899-AABBCCDDEEFF}",  // dash in the wrong place
        "{00112233-4455-6677-8899-AABBCCDDEEFG}",  // not a hex digit
        "{00112233-4455-6677-8899-AABBCCDDEEF}",   // one digit short
        "{ 0112233-4455-6677-8899-AABBCCDDEEFF}",  // blank
    };
    for (const char* text : malformed)
        EXPECT_FALSE(GuidFromString(text).has_value()) << text;
}

TEST(Guid, ClsidFromStringReportsBadTextAndNullArguments)
{
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromString(u"{00112233-4455-6677-8899-AABBCCDDEEFF}", &clsid), S_OK);
    EXPECT_EQ(clsid, kSample);
    EXPECT_EQ(CLSIDFromString(u"OrvVds.OrvVdsProvider", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromString(nullptr, &clsid), E_INVALIDARG);
    EXPECT_EQ(CLSIDFromString(u"{00112233-4455-6677-8899-AABBCCDDEEFF}", nullptr), E_INVALIDARG);
}

TEST(Guid, StringFromGuid2NeedsRoomForTheTerminator)
{
    char16_t buffer[39];
    EXPECT_EQ(StringFromGUID2(kSample, buffer, 38), 0);
    EXPECT_EQ(StringFromGUID2(kSample, buffer, 39), 39);
    EXPECT_EQ(std::u16string(buffer), u"{00112233-4455-6677-8899-AABBCCDDEEFF}");
}

TEST(Guid, OrderingComparesBytesInMemoryOrder)
{
    // Data1 is stored little-endian: 0x00000100 has bytes 00 01 00 00, which sort before
    // the bytes 01 00 00 00 of the numerically smaller 0x00000001.
    const GUID small = {0x00000001, 0, 0, {}};
    const GUID large = {0x00000100, 0, 0, {}};
    EXPECT_TRUE(large < small);
    EXPECT_FALSE(small < large);

    const GUID data4Differs = {0x00000001, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    EXPECT_TRUE(small < data4Differs);
    EXPECT_NE(small, data4Differs);
    EXPECT_EQ(small, (GUID{0x00000001, 0, 0, {}}));

    std::map<GUID, int> ordered{{small, 1}, {large, 2}, {GUID_NULL, 0}};
    auto it = ordered.begin();
    EXPECT_EQ(it++->second, 0);
    EXPECT_EQ(it++->second, 2);
    EXPECT_EQ(it->second, 1);
}

TEST(Guid, CoCreateGuidGivesDistinctVersion4Guids)
{
    std::set<GUID> seen;
    for (int i = 0; i < 1000; ++i) {
        GUID guid;
        ASSERT_EQ(CoCreateGuid(&guid), S_OK);
        EXPECT_EQ(guid.Data3 >> 12, 4);
        EXPECT_EQ(guid.Data4[0] & 0xC0, 0x80);
        seen.insert(guid);
    }
    EXPECT_EQ(seen.size(), 1000u);
    EXPECT_EQ(seen.count(GUID_NULL), 0u);
    EXPECT_EQ(CoCreateGuid(nullptr), E_POINTER);
}

}  // namespace
