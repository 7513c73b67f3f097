#include "cim/value/CIMValue.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "cim/value/CIMInstance.h"
#include "cim/value/CIMObject.h"
#include "cim/value/CIMValueError.h"

namespace cim {
namespace {

struct TextCase {
    const char* description;
    CIMType type;
    const char* text;
    std::optional<CIMValue> expected;  // nullopt: must be refused
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.description; }
};

class ValueFromText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ValueFromText, ReadsOrRefuses) {
    const TextCase& c = GetParam();
    if (!c.expected) {
        EXPECT_THROW(CIMValue::fromText(c.type, c.text), CIMValueError) << c.description;
        return;
    }
    EXPECT_EQ(CIMValue::fromText(c.type, c.text), *c.expected) << c.description;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValueFromText,
    ::testing::Values(
        TextCase{"uint8 max", CIMType::Uint8, "255", CIMValue(uint8_t{255})},
        TextCase{"uint8 one past max", CIMType::Uint8, "256", std::nullopt},
        TextCase{"uint8 negative", CIMType::Uint8, "-1", std::nullopt},
        TextCase{"uint8 minus zero", CIMType::Uint8, "-0", CIMValue(uint8_t{0})},
        TextCase{"sint8 min", CIMType::Sint8, "-128", CIMValue(int8_t{-128})},
        TextCase{"sint8 below min", CIMType::Sint8, "-129", std::nullopt},
        TextCase{"uint16 plus sign", CIMType::Uint16, "+65535", CIMValue(uint16_t{65535})},
        TextCase{"uint16 surrounding white space", CIMType::Uint16, " \n42\t", CIMValue(uint16_t{42})},
        TextCase{"uint16 inner space", CIMType::Uint16, "4 2", std::nullopt},
        TextCase{"uint16 hex", CIMType::Uint16, "0xFFff", CIMValue(uint16_t{0xFFFF})},
        TextCase{"uint16 hex too big", CIMType::Uint16, "0x10000", std::nullopt},
        TextCase{"uint16 bare 0x", CIMType::Uint16, "0x", std::nullopt},
        TextCase{"sint16 negative hex", CIMType::Sint16, "-0x8000", CIMValue(int16_t{-32768})},
        TextCase{"uint32 garbage suffix", CIMType::Uint32, "12abc", std::nullopt},
        TextCase{"uint32 empty", CIMType::Uint32, "", std::nullopt},
        TextCase{"uint32 real", CIMType::Uint32, "1.0", std::nullopt},
        TextCase{"sint32 double sign", CIMType::Sint32, "+-1", std::nullopt},
        TextCase{"uint64 max", CIMType::Uint64, "18446744073709551615",
                 CIMValue(std::numeric_limits<uint64_t>::max())},
        TextCase{"uint64 overflow", CIMType::Uint64, "18446744073709551616", std::nullopt},
        TextCase{"sint64 min", CIMType::Sint64, "-9223372036854775808",
                 CIMValue(std::numeric_limits<int64_t>::min())},
        TextCase{"sint64 max", CIMType::Sint64, "9223372036854775807",
                 CIMValue(std::numeric_limits<int64_t>::max())},
        TextCase{"sint64 below min", CIMType::Sint64, "-9223372036854775809", std::nullopt},
        TextCase{"sint64 above max", CIMType::Sint64, "9223372036854775808", std::nullopt},
        TextCase{"real64 exponent", CIMType::Real64, "-1.5E+3", CIMValue(-1500.0)},
        TextCase{"real64 leading dot", CIMType::Real64, ".5", CIMValue(0.5)},
        TextCase{"real64 INF", CIMType::Real64, "INF",
                 CIMValue(std::numeric_limits<double>::infinity())},
        TextCase{"real64 -INF", CIMType::Real64, "-INF",
                 CIMValue(-std::numeric_limits<double>::infinity())},
        TextCase{"real64 NaN", CIMType::Real64, "NaN",
                 CIMValue(std::numeric_limits<double>::quiet_NaN())},
        TextCase{"real64 lower-case inf is not DSP0201", CIMType::Real64, "inf", std::nullopt},
        TextCase{"real64 hex float", CIMType::Real64, "0x1p3", std::nullopt},
        TextCase{"real64 exponent without digits", CIMType::Real64, "1e", std::nullopt},
        TextCase{"real64 overflow", CIMType::Real64, "1e400", std::nullopt},
        TextCase{"real32 overflow", CIMType::Real32, "1e39", std::nullopt},
        TextCase{"real32 value", CIMType::Real32, "0.1", CIMValue(0.1f)},
        TextCase{"boolean any case", CIMType::Boolean, "tRuE", CIMValue(true)},
        TextCase{"boolean number", CIMType::Boolean, "1", std::nullopt},
        TextCase{"char16 ascii", CIMType::Char16, "x", CIMValue(u'x')},
        TextCase{"char16 BMP", CIMType::Char16, "\xE2\x82\xAC", CIMValue(u'\u20AC')},
        TextCase{"char16 space is a character", CIMType::Char16, " ", CIMValue(u' ')},
        TextCase{"char16 two characters", CIMType::Char16, "ab", std::nullopt},
        TextCase{"char16 outside BMP", CIMType::Char16, "\xF0\x9F\x98\x80", std::nullopt},
        TextCase{"char16 broken UTF-8", CIMType::Char16, "\xC3", std::nullopt},
        TextCase{"string kept as is", CIMType::String, " a&b ", CIMValue(" a&b ")},
        TextCase{"datetime", CIMType::DateTime, "20240131235959.000000+060",
                 CIMValue(CIMDateTime("20240131235959.000000+060"))},
        TextCase{"reference", CIMType::Reference, "root/snia:CIM_X.K=\"a\"",
                 CIMValue(CIMObjectPath("root/snia:CIM_X.K=\"a\""))},
        TextCase{"reference garbage", CIMType::Reference, "not a path", std::nullopt},
        TextCase{"instance has no text form", CIMType::Instance, "x", std::nullopt}));

TEST(CIMValue, RealsRoundTripExactlyThroughText) {
    std::mt19937_64 random(12345);
    for (int i = 0; i < 20000; ++i) {
        const double value64 = std::bit_cast<double>(random());
        const float value32 = std::bit_cast<float>(static_cast<uint32_t>(random()));
        const CIMValue back64 = CIMValue::fromText(CIMType::Real64, CIMValue(value64).toString());
        const CIMValue back32 = CIMValue::fromText(CIMType::Real32, CIMValue(value32).toString());
        if (std::isnan(value64)) {
            EXPECT_TRUE(std::isnan(back64.get<double>()));
        } else {
            EXPECT_EQ(std::bit_cast<uint64_t>(back64.get<double>()), std::bit_cast<uint64_t>(value64))
                << CIMValue(value64).toString();
        }
        if (!std::isnan(value32)) {
            EXPECT_EQ(std::bit_cast<uint32_t>(back32.get<float>()), std::bit_cast<uint32_t>(value32))
                << CIMValue(value32).toString();
        }
    }
}

TEST(CIMValue, IntegerExtremesRoundTripThroughText) {
    const CIMValue values[] = {
        CIMValue(std::numeric_limits<uint64_t>::max()), CIMValue(std::numeric_limits<int64_t>::min()),
        CIMValue(std::numeric_limits<int64_t>::max()),  CIMValue(std::numeric_limits<int8_t>::min()),
        CIMValue(std::numeric_limits<uint32_t>::max()), CIMValue(std::numeric_limits<int16_t>::min()),
    };
    for (const CIMValue& value : values) {
        EXPECT_EQ(CIMValue::fromText(value.getType(), value.toString()), value) << value.toString();
    }
}

TEST(CIMValue, ReadingAsAnotherTypeOrNullThrows) {
    const CIMValue u16(uint16_t{7});
    EXPECT_EQ(u16.get<uint16_t>(), 7);
    EXPECT_THROW(u16.get<uint32_t>(), CIMValueError);
    EXPECT_THROW(u16.get<std::vector<uint16_t>>(), CIMValueError);
    EXPECT_THROW(CIMValue(u'a').get<uint16_t>(), CIMValueError);

    const CIMValue nullArray(CIMType::Uint16, true);
    EXPECT_TRUE(nullArray.isNull());
    EXPECT_TRUE(nullArray.isArray());
    EXPECT_THROW(nullArray.get<std::vector<uint16_t>>(), CIMValueError);
}

TEST(CIMValue, NullDiffersFromEmptyAndByType) {
    EXPECT_NE(CIMValue(CIMType::String, false), CIMValue(std::string()));
    EXPECT_NE(CIMValue(CIMType::String, false), CIMValue(CIMType::String, true));
    EXPECT_NE(CIMValue(CIMType::Uint16, false), CIMValue(CIMType::Uint32, false));
    EXPECT_NE(CIMValue(uint16_t{5}), CIMValue(uint32_t{5}));
    EXPECT_NE(CIMValue(std::vector<std::string>{}), CIMValue(CIMType::String, true));
    EXPECT_EQ(CIMValue(std::numeric_limits<double>::quiet_NaN()),
              CIMValue(std::numeric_limits<double>::quiet_NaN()));
}

TEST(CIMValue, NullArrayElementsAreKeptApartFromValues) {
    CIMValue array(std::vector<uint16_t>{1, 0, 3});
    const CIMValue before = array;
    array.setNullElements({false, true, false});
    EXPECT_TRUE(array.isElementNull(1));
    EXPECT_FALSE(array.isElementNull(0));
    EXPECT_FALSE(array.isElementNull(7));
    EXPECT_EQ(array.get<std::vector<uint16_t>>(), (std::vector<uint16_t>{1, 0, 3}));
    EXPECT_NE(array, before);
    EXPECT_FALSE(before.isElementNull(1)) << "copies must not share the change";
    EXPECT_EQ(array.toString(), "{1,NULL,3}");
    EXPECT_THROW(array.setNullElements({true}), CIMValueError);
    EXPECT_THROW(CIMValue(uint16_t{1}).setNullElements({true}), CIMValueError);
}

TEST(CIMValue, ArraysOfEveryKindReadBack) {
    EXPECT_EQ(CIMValue(std::vector<bool>{true, false}).get<std::vector<bool>>(),
              (std::vector<bool>{true, false}));
    EXPECT_EQ(CIMValue(std::vector<int8_t>{-1, 2}).get<std::vector<int8_t>>(),
              (std::vector<int8_t>{-1, 2}));
    EXPECT_EQ(CIMValue(std::vector<float>{1.5f}).get<std::vector<float>>(), (std::vector<float>{1.5f}));
    EXPECT_EQ(CIMValue(std::vector<char16_t>{u'a'}).get<std::vector<char16_t>>(),
              (std::vector<char16_t>{u'a'}));
    EXPECT_EQ(CIMValue(std::vector<std::string>{"a", ""}).getArraySize(), 2u);
}

TEST(CIMValue, EmbeddedValuesReadAsInstanceOrObject) {
    CIMInstance instance("CIM_Foo");
    instance.addProperty(CIMProperty("Name", CIMValue("x")));
    const CIMValue asInstance(instance);
    const CIMValue asObject{CIMObject(instance)};
    EXPECT_EQ(asInstance.getType(), CIMType::Instance);
    EXPECT_EQ(asObject.getType(), CIMType::Object);
    EXPECT_EQ(asObject.get<CIMInstance>(), instance);
    EXPECT_EQ(asInstance.get<CIMObject>().getInstance(), instance);
    EXPECT_NE(asInstance, asObject);
    EXPECT_THROW(CIMValue(CIMObject(CIMClass("CIM_Foo"))).get<CIMInstance>(), CIMValueError);
    EXPECT_EQ(asInstance.toString(), "instance of CIM_Foo");
}

TEST(CIMValue, ReferencesCompareAsIdenticalPaths) {
    const CIMValue a(CIMObjectPath("root/snia:CIM_X.A=1,B=\"b\""));
    const CIMValue b(CIMObjectPath("ROOT/SNIA:cim_x.b=\"b\",a=1"));
    const CIMValue c(CIMObjectPath("root/snia:CIM_X.A=1,B=\"B\""));
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

} // namespace
} // namespace cim
