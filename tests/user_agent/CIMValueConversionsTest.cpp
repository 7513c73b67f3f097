// Reading CIM values into C++ types: widths, signs, booleans, arrays and mismatches.

#include "user_agent/base/CIMValueConversions.h"
#include "user_agent/base/CIMObjectPathIdentity.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace Merrow::UserAgent {
namespace {

TEST(CIMValueConversionsTest, IntegersConvertBetweenWidthsOnlyWhenTheyFit) {
    std::uint8_t small = 7;
    EXPECT_TRUE(CIMValueTo(cim::CIMValue(std::uint64_t{255}), small));
    EXPECT_EQ(small, 255);
    EXPECT_FALSE(CIMValueTo(cim::CIMValue(std::uint64_t{256}), small));
    EXPECT_FALSE(CIMValueTo(cim::CIMValue(std::int8_t{-1}), small));
    EXPECT_EQ(small, 255) << "a failed conversion leaves the target alone";

    std::int16_t signedValue = 0;
    EXPECT_TRUE(CIMValueTo(cim::CIMValue(std::int64_t{-32768}), signedValue));
    EXPECT_EQ(signedValue, -32768);
    EXPECT_FALSE(CIMValueTo(cim::CIMValue(std::uint16_t{40000}), signedValue));

    std::uint64_t big = 0;
    EXPECT_TRUE(CIMValueTo(cim::CIMValue(std::numeric_limits<std::uint64_t>::max()), big));
    EXPECT_EQ(big, std::numeric_limits<std::uint64_t>::max());
    EXPECT_TRUE(CIMValueTo(cim::CIMValue(true), big));
    EXPECT_EQ(big, 1u);

    EXPECT_FALSE(CIMValueTo(cim::CIMValue(std::string("12")), big));
    EXPECT_FALSE(CIMValueTo(cim::CIMValue(cim::CIMType::Uint32, false), big)) << "null";
    EXPECT_FALSE(CIMValueTo(cim::CIMValue(std::vector<std::uint32_t>{1}), big)) << "array";
}

TEST(CIMValueConversionsTest, ArraysConvertElementByElement) {
    std::vector<std::uint16_t> numbers{9};
    EXPECT_TRUE(CIMValueTo(cim::CIMValue(std::vector<std::uint8_t>{1, 2, 3}), numbers));
    EXPECT_EQ(numbers, (std::vector<std::uint16_t>{1, 2, 3}));
    EXPECT_FALSE(CIMValueTo(cim::CIMValue(std::vector<std::int32_t>{1, -2}), numbers));
    EXPECT_EQ(numbers, (std::vector<std::uint16_t>{1, 2, 3}));

    std::vector<std::string> texts;
    EXPECT_TRUE(CIMValueTo(cim::CIMValue(std::vector<std::string>{"a", "b"}), texts));
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(CIMValueTo(cim::CIMValue(std::string("a")), texts)) << "scalar into array";
}

TEST(CIMValueConversionsTest, OtherTypesMustMatchExactly) {
    bool flag = false;
    EXPECT_TRUE(CIMValueTo(cim::CIMValue(true), flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(CIMValueTo(cim::CIMValue(std::uint8_t{0}), flag));

    const cim::CIMObjectPath path("", "root/snia", "CIM_StoragePool", {});
    cim::CIMObjectPath readPath;
    EXPECT_TRUE(CIMValueTo(cim::CIMValue(path), readPath));
    EXPECT_TRUE(readPath.identical(path));
    std::string text;
    EXPECT_FALSE(CIMValueTo(cim::CIMValue(path), text));

    cim::CIMDateTime when;
    EXPECT_TRUE(CIMValueTo(cim::CIMValue(cim::CIMDateTime("20240131235959.000000+000")), when));
    EXPECT_EQ(when, cim::CIMDateTime("20240131235959.000000+000"));
}

TEST(CIMValueConversionsTest, MethodReturnValuesOfAnyIntegerType) {
    EXPECT_EQ(CIMValueToUint32(cim::CIMValue(std::uint16_t{4096})), 4096u);
    EXPECT_EQ(CIMValueToUint32(cim::CIMValue(false)), 0u);
    EXPECT_EQ(CIMValueToUint32(cim::CIMValue(std::int32_t{-1})), 0xFFFFFFFFu);
    EXPECT_EQ(CIMValueToUint32(cim::CIMValue(std::string("0"))), std::nullopt);
    EXPECT_EQ(CIMValueToUint64(cim::CIMValue(std::int8_t{-1})), std::nullopt);
    EXPECT_EQ(CIMValueOrTextToUint64(cim::CIMValue(std::string("4096"))), 4096u);
    EXPECT_EQ(CIMValueOrTextToUint64(cim::CIMValue(std::string("40x"))), std::nullopt);
}

TEST(CIMObjectPathIdentityTest, HostAndNamespaceOfTheSecondPathDoNotMatter) {
    const std::vector<cim::CIMKeyBinding> keys{
        cim::CIMKeyBinding("DeviceID", "7", cim::CIMKeyBinding::Type::String)};
    const cim::CIMObjectPath ours("", "root/snia", "CIM_StorageVolume", keys);
    const cim::CIMObjectPath theirs("10.0.0.1", "other", "CIM_StorageVolume", keys);
    EXPECT_TRUE(IsSameObjectPath(ours, theirs));
    EXPECT_TRUE(IsSameObjectPath(theirs, ours));

    const cim::CIMObjectPath otherKey(
        "", "root/snia", "CIM_StorageVolume",
        {cim::CIMKeyBinding("DeviceID", "8", cim::CIMKeyBinding::Type::String)});
    EXPECT_FALSE(IsSameObjectPath(ours, otherKey));
    const cim::CIMObjectPath otherClass("", "root/snia", "CIM_StoragePool", keys);
    EXPECT_FALSE(IsSameObjectPath(ours, otherClass));
}

// Lists compare their entries by this hash first: two spellings of one object that the
// comparison calls the same must land in one bucket, or a re-read would count changes.
TEST(CIMObjectPathIdentityTest, SpellingsOfOneObjectShareTheirIdentityHash) {
    const auto spellings = {
        std::pair{"//10.0.0.1/root/snia:CIM_StorageVolume.SystemName=\"S\",DeviceID=\"7\"",
                  "root/other:cim_storagevolume.deviceid=\"7\",systemname=\"S\""},
        std::pair{"root/snia:CIM_Slot.Number=07", "CIM_Slot.NUMBER=7"},
    };
    for (const auto& [first, second] : spellings) {
        const auto a = cim::CIMObjectPath::parse(first);
        const auto b = cim::CIMObjectPath::parse(second);
        ASSERT_EQ(IsSameObjectPath(a, b), true) << first << " / " << second;
        EXPECT_EQ(ObjectPathIdentityHash(a), ObjectPathIdentityHash(b)) << first;
    }
    const auto volume = [](const char* id) {
        return ObjectPathIdentityHash(
            cim::CIMObjectPath::parse(std::string("CIM_StorageVolume.DeviceID=\"") + id + "\""));
    };
    EXPECT_NE(volume("7"), volume("8"));
}

} // namespace
} // namespace Merrow::UserAgent
