#include "cim/value/CIMObjectPath.h"

#include <gtest/gtest.h>

#include "cim/value/CIMValue.h"
#include "cim/value/CIMValueError.h"

namespace cim {
namespace {

using Type = CIMKeyBinding::Type;

TEST(CIMObjectPath, ParsesEveryPart) {
    const CIMObjectPath path = CIMObjectPath::parse(
        "//array1:5988/root/snia:CIM_StorageVolume.DeviceID=\"v\\\"1\\\\\",Size=0x10,Mapped=TRUE");
    EXPECT_EQ(path.getHost(), "array1:5988");
    EXPECT_EQ(path.getNameSpace().getString(), "root/snia");
    EXPECT_EQ(path.getClassName().getString(), "CIM_StorageVolume");
    ASSERT_EQ(path.getKeyBindings().size(), 3u);
    EXPECT_EQ(path.getKeyBindings()[0].getValue(), "v\"1\\");
    EXPECT_EQ(path.getKeyBindings()[0].getType(), Type::String);
    EXPECT_EQ(path.getKeyBindings()[1].getType(), Type::Numeric);
    EXPECT_EQ(path.getKeyBindings()[2].getType(), Type::Boolean);
    EXPECT_EQ(path.toString(),
              "//array1:5988/root/snia:CIM_StorageVolume.DeviceID=\"v\\\"1\\\\\",Size=0x10,Mapped=TRUE");
}

struct PathCase {
    const char* text;
    const char* printed;  // nullptr: must be refused
    friend void PrintTo(const PathCase& c, std::ostream* os) { *os << c.text; }
};

class PathText : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathText, ParsesAndPrintsOrRefuses) {
    const PathCase& c = GetParam();
    if (!c.printed) {
        EXPECT_THROW(CIMObjectPath::parse(c.text), CIMValueError) << c.text;
        return;
    }
    const CIMObjectPath path = CIMObjectPath::parse(c.text);
    EXPECT_EQ(path.toString(), c.printed);
    EXPECT_TRUE(CIMObjectPath::parse(path.toString()).identical(path));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathText,
    ::testing::Values(
        PathCase{"", ""},
        PathCase{"CIM_X", "CIM_X"},
        PathCase{"root/cimv2:CIM_X", "root/cimv2:CIM_X"},
        PathCase{"/root:CIM_X", "root:CIM_X"},
        PathCase{"CIM_X.Name=\"a:b.c=d,e\"", "CIM_X.Name=\"a:b.c=d,e\""},
        PathCase{"CIM_X.=\"only\"", "CIM_X.=\"only\""},
        PathCase{"CIM_X.N=-5,R=1.5e3,B=false", "CIM_X.N=-5,R=1.5e3,B=false"},
        PathCase{"//h/CIM_X.K=1", "//h/CIM_X.K=1"},
        PathCase{"//[::1]:5988/interop:CIM_X.K=\"\"", "//[::1]:5988/interop:CIM_X.K=\"\""},
        PathCase{"CIM_X.", nullptr},
        PathCase{"CIM_X.K", nullptr},
        PathCase{"CIM_X.K=", nullptr},
        PathCase{"CIM_X.K=abc", nullptr},
        PathCase{"CIM_X.K=\"unterminated", nullptr},
        PathCase{"CIM_X.K=\"a\"junk", nullptr},
        PathCase{"CIM_X.K=1,", nullptr},
        PathCase{"CIM_X.K=1,,L=2", nullptr},
        PathCase{"CIM_X=1", nullptr},
        PathCase{"1CIM_X", nullptr},
        PathCase{"CIM X", nullptr},
        PathCase{"root//x:CIM_X", nullptr},
        PathCase{"//host", nullptr},
        PathCase{"///root:CIM_X", nullptr},
        PathCase{"//h o/root:CIM_X", nullptr},
        PathCase{"CIM_X.1K=1", nullptr},
        PathCase{"CIM_X.K= 1", nullptr}));

TEST(CIMObjectPath, ReferenceKeysNestAndRoundTrip) {
    const CIMObjectPath inner("//h/root/snia:CIM_Inner.Name=\"q\\\"uote\"");
    CIMObjectPath outer("", CIMNamespaceName("root/snia"), CIMName("CIM_Assoc"),
                        {CIMKeyBinding("Antecedent", inner), CIMKeyBinding("Dependent", inner)});
    const std::string text = outer.toString();
    const CIMObjectPath back = CIMObjectPath::parse(text);
    ASSERT_EQ(back.getKeyBindings().size(), 2u);
    EXPECT_EQ(back.getKeyBindings()[0].getType(), Type::Reference);
    EXPECT_TRUE(back.getKeyBindings()[0].getReference().identical(inner));
    EXPECT_EQ(back.getKeyBindings()[0].getReference().getKeyBindings()[0].getValue(), "q\"uote");
    EXPECT_TRUE(back.identical(outer));
    EXPECT_EQ(back.toString(), text);
}

TEST(CIMObjectPath, QuotedTextThatIsNoInstancePathStaysAString) {
    const CIMObjectPath path("CIM_X.A=\"CIM_Y\",B=\"root:CIM_Y\",C=\"CIM_Y.K=1\"");
    EXPECT_EQ(path.getKeyBindings()[0].getType(), Type::String);
    EXPECT_EQ(path.getKeyBindings()[1].getType(), Type::String);
    EXPECT_EQ(path.getKeyBindings()[2].getType(), Type::Reference);
    EXPECT_THROW(path.getKeyBindings()[0].getReference(), CIMValueError);
}

TEST(CIMObjectPath, DeeplyNestedReferencesDoNotRecurseWithoutLimit) {
    std::string text = "CIM_X.K=1";
    for (int i = 0; i < 20; ++i) {
        std::string quoted;
        for (const char c : text) {
            if (c == '"' || c == '\\') {
                quoted.push_back('\\');
            }
            quoted.push_back(c);
        }
        text = "CIM_X.K=\"" + quoted + "\"";
    }
    const CIMObjectPath path = CIMObjectPath::parse(text);
    EXPECT_EQ(CIMObjectPath::parse(path.toString()).toString(), path.toString());
}

TEST(CIMObjectPath, IdenticalIgnoresCaseAndKeyOrder) {
    const CIMObjectPath a("//Host/root/snia:CIM_X.A=\"v\",B=16,C=TRUE");
    EXPECT_TRUE(a.identical(CIMObjectPath("//HOST/ROOT/Snia:cim_x.c=true,b=0x10,a=\"v\"")));
    EXPECT_TRUE(a.identical(CIMObjectPath("//Host/root/snia:CIM_X.B=+16,A=\"v\",C=True")));
    EXPECT_FALSE(a.identical(CIMObjectPath("//Host/root/snia:CIM_X.A=\"V\",B=16,C=TRUE")));
    EXPECT_FALSE(a.identical(CIMObjectPath("//Host/root/snia:CIM_X.A=\"v\",B=17,C=TRUE")));
    EXPECT_FALSE(a.identical(CIMObjectPath("//Host/root/snia:CIM_X.A=\"v\",B=\"16\",C=TRUE")));
    EXPECT_FALSE(a.identical(CIMObjectPath("//Host/root/snia:CIM_X.A=\"v\",B=16")));
    EXPECT_FALSE(a.identical(CIMObjectPath("//Other/root/snia:CIM_X.A=\"v\",B=16,C=TRUE")));
    EXPECT_FALSE(a.identical(CIMObjectPath("root/snia:CIM_X.A=\"v\",B=16,C=TRUE")));
    // Duplicate names must pair one to one.
    EXPECT_FALSE(CIMObjectPath("CIM_X.A=1,A=1").identical(CIMObjectPath("CIM_X.A=1,A=2")));
    EXPECT_FALSE(CIMObjectPath("CIM_X.K=-1").identical(CIMObjectPath("CIM_X.K=18446744073709551615")));
    EXPECT_TRUE(CIMObjectPath("CIM_X.K=1.5e1").identical(CIMObjectPath("CIM_X.K=15.0")));
    // Found by fuzzing: a NaN key made a path differ from itself.
    EXPECT_TRUE(CIMObjectPath("_.=NaN").identical(CIMObjectPath("_.=NaN")));
    EXPECT_FALSE(CIMObjectPath("CIM_X.K=NaN").identical(CIMObjectPath("CIM_X.K=INF")));
}

TEST(CIMKeyBinding, BuildsFromValuesAndChecksText) {
    EXPECT_EQ(CIMKeyBinding("K", CIMValue(uint16_t{7})).getType(), Type::Numeric);
    EXPECT_EQ(CIMKeyBinding("K", CIMValue(false)).getValue(), "FALSE");
    EXPECT_EQ(CIMKeyBinding("K", CIMValue("s")).getType(), Type::String);
    EXPECT_EQ(CIMKeyBinding("K", CIMValue(CIMObjectPath("CIM_Y.K=1"))).getType(), Type::Reference);
    EXPECT_THROW(CIMKeyBinding("K", CIMValue(CIMType::String, false)), CIMValueError);
    EXPECT_THROW(CIMKeyBinding("K", CIMValue(std::vector<uint8_t>{1})), CIMValueError);
    EXPECT_THROW(CIMKeyBinding("K", "yes", Type::Boolean), CIMValueError);
    EXPECT_THROW(CIMKeyBinding("K", "12a", Type::Numeric), CIMValueError);
    EXPECT_THROW(CIMKeyBinding("K", "not a path", Type::Reference), CIMValueError);
}

TEST(CIMObjectPath, HostRefusesCharactersThatBreakTheTextForm) {
    CIMObjectPath path;
    EXPECT_THROW(path.setHost("a/b"), CIMValueError);
    EXPECT_THROW(path.setHost("a b"), CIMValueError);
    EXPECT_THROW(path.setHost("a\"b"), CIMValueError);
    EXPECT_THROW(path.setHost("a\xC3"), CIMValueError);
    EXPECT_NO_THROW(path.setHost("[fe80::1]:5988"));
}

} // namespace
} // namespace cim
