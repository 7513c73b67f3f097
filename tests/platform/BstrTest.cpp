#include "platform/com/Bstr.h"
#include "platform/com/TaskMemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

std::uint32_t prefixOf(BSTR bstr)
{
    std::uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<const char*>(bstr) - sizeof(prefix), sizeof(prefix));
    return prefix;
}

TEST(Bstr, CarriesItsByteLengthBeforeTheTextAndATerminatorAfter)
{
    BSTR bstr = SysAllocString(u"10.0.0.2");
    ASSERT_NE(bstr, nullptr);
    EXPECT_EQ(SysStringLen(bstr), 8u);
    EXPECT_EQ(SysStringByteLen(bstr), 16u);
    EXPECT_EQ(prefixOf(bstr), 16u);
    EXPECT_EQ(bstr[8], u'\0');
    EXPECT_EQ(BstrView(bstr), u"10.0.0.2");
    SysFreeString(bstr);
}

TEST(Bstr, LengthCountsEmbeddedNullsAndSurrogateUnits)
{
    const char16_t text[] = {u'a', 0, u'b', 0xD83D, 0xDCBE};
    BSTR bstr = SysAllocStringLen(text, 5);
    ASSERT_NE(bstr, nullptr);
    EXPECT_EQ(SysStringLen(bstr), 5u);
    EXPECT_EQ(BstrView(bstr), std::u16string_view(text, 5));
    SysFreeString(bstr);
}

TEST(Bstr, NullSourceGivesZeroFilledTextOfTheGivenLength)
{
    BSTR bstr = SysAllocStringLen(nullptr, 4);
    ASSERT_NE(bstr, nullptr);
    EXPECT_EQ(SysStringLen(bstr), 4u);
    EXPECT_EQ(BstrView(bstr), std::u16string(4, u'\0'));
    SysFreeString(bstr);
}

TEST(Bstr, NullBstrIsAnEmptyString)
{
    EXPECT_EQ(SysAllocString(static_cast<const OLECHAR*>(nullptr)), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    EXPECT_TRUE(BstrView(nullptr).empty());
    SysFreeString(nullptr);
}

TEST(Bstr, ReAllocReplacesTheString)
{
    BSTR bstr = SysAllocString(u"old host");
    EXPECT_EQ(SysReAllocString(&bstr, u"new"), TRUE);
    EXPECT_EQ(BstrView(bstr), u"new");
    EXPECT_EQ(SysReAllocString(&bstr, nullptr), TRUE);
    EXPECT_EQ(bstr, nullptr);
    EXPECT_EQ(SysReAllocString(nullptr, u"x"), FALSE);
}

TEST(Bstr, RefusesLengthsThePrefixCannotHold)
{
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr);
}

TEST(TaskMemory, ZeroSizeStillGivesAUniqueBlock)
{
    void* a = CoTaskMemAlloc(0);
    void* b = CoTaskMemAlloc(0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    CoTaskMemFree(a);
    CoTaskMemFree(b);
    CoTaskMemFree(nullptr);
}

TEST(TaskMemory, ReallocGrowsKeepsContentsAndFreesOnZero)
{
    auto* p = static_cast<char*>(CoTaskMemRealloc(nullptr, 4));
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "abcd", 4);
    p = static_cast<char*>(CoTaskMemRealloc(p, 4096));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(p, 4), "abcd");
    EXPECT_EQ(CoTaskMemRealloc(p, 0), nullptr);
}

TEST(TaskMemory, DuplicatedStringsAreTerminatedCopies)
{
    LPWSTR wide = CoTaskMemDupString(std::u16string_view(u"2.8.2.2"));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::u16string(wide), u"2.8.2.2");
    CoTaskMemFree(wide);

    char* narrow = CoTaskMemDupString(std::string_view("Corvane", 4));
    ASSERT_NE(narrow, nullptr);
    EXPECT_STREQ(narrow, "Corv");
    CoTaskMemFree(narrow);
}

TEST(TaskMemory, ZeroedRecordsAndOverflowingCounts)
{
    struct Record {
        std::uint64_t a;
        std::uint64_t b;
    };
    Record* records = CoTaskMemAllocZeroed<Record>(3);
    ASSERT_NE(records, nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(records[i].a, 0u);
        EXPECT_EQ(records[i].b, 0u);
    }
    CoTaskMemFree(records);
    EXPECT_EQ(CoTaskMemAllocZeroed<Record>(SIZE_MAX / 8), nullptr);
}

}  // namespace
