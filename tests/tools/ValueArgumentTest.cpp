#include "ValueArgument.h"

#include "cim/value/CIMObjectPath.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orvcim {
namespace {

using cim::CIMType;
using cim::CIMValue;

struct ParameterCase {
    std::string text;
    CIMValue expected;
    bool typed;
};

void PrintTo(const ParameterCase& c, std::ostream* out)
{
    *out << c.text;
}

class ValueArgumentParameters : public ::testing::TestWithParam<ParameterCase> {};

TEST_P(ValueArgumentParameters, BecomeTheRightValue)
{
    const cim::CIMParamValue parameter = ValueArgument::parse(GetParam().text).toParameter();
    EXPECT_EQ(parameter.getValue(), GetParam().expected);
    EXPECT_EQ(parameter.isTyped(), GetParam().typed);
}

const cim::CIMObjectPath kPool("root/snia:CIM_StoragePool.InstanceID=\"p1\"");
const cim::CIMObjectPath kOther("root/snia:CIM_StoragePool.InstanceID=\"p,2\"");

INSTANTIATE_TEST_SUITE_P(
    Arguments, ValueArgumentParameters,
    ::testing::Values(
        ParameterCase{"Size=1073741824", CIMValue("1073741824"), false},
        ParameterCase{"Wait=TRUE", CIMValue("TRUE"), false},
        ParameterCase{"ElementName=\"lun, \\\"one\\\"\"", CIMValue("lun, \"one\""), true},
        ParameterCase{"InPool=root/snia:CIM_StoragePool.InstanceID=\"p1\"", CIMValue(kPool), true},
        ParameterCase{"Pools={root/snia:CIM_StoragePool.InstanceID=\"p1\",root/snia:CIM_StoragePool.InstanceID=\"p,2\"}",
                      CIMValue(std::vector<cim::CIMObjectPath>{kPool, kOther}), true},
        ParameterCase{"Ports={1,2}", CIMValue(std::vector<std::string>{"1", "2"}), false},
        ParameterCase{"ElementType:uint16=3", CIMValue(std::uint16_t{3}), true},
        ParameterCase{"Ports:uint16[]={1,2}", CIMValue(std::vector<std::uint16_t>{1, 2}), true},
        ParameterCase{"Ports:uint16[]=7", CIMValue(std::vector<std::uint16_t>{7}), true},
        ParameterCase{"Offset:sint64=-5", CIMValue(std::int64_t{-5}), true},
        ParameterCase{"Goal:ref=root/snia:CIM_StorageSetting.InstanceID=\"g\"",
                      CIMValue(cim::CIMObjectPath("root/snia:CIM_StorageSetting.InstanceID=\"g\"")), true},
        ParameterCase{"Names={}", CIMValue(std::vector<std::string>{}), false},
        ParameterCase{"Note=", CIMValue(""), false},
        ParameterCase{"Count:uint32=NULL", CIMValue(CIMType::Uint32, false), true}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(ValueArgument, PropertiesTakeTheExplicitThenTheKnownThenTheGuessedType)
{
    EXPECT_EQ(ValueArgument::parse("BlockSize=512").toProperty().getValue(), CIMValue(std::uint64_t{512}));
    EXPECT_EQ(ValueArgument::parse("Delta=-1").toProperty().getValue(), CIMValue(std::int64_t{-1}));
    EXPECT_EQ(ValueArgument::parse("Ratio=0.5").toProperty().getValue(), CIMValue(0.5));
    EXPECT_EQ(ValueArgument::parse("Enabled=false").toProperty().getValue(), CIMValue(false));
    EXPECT_EQ(ValueArgument::parse("Name=\"512\"").toProperty().getValue(), CIMValue("512"));
    EXPECT_EQ(ValueArgument::parse("BlockSize=512").toProperty(CIMType::Uint16, false).getValue(), CIMValue(std::uint16_t{512}));
    EXPECT_EQ(ValueArgument::parse("BlockSize:uint32=512").toProperty(CIMType::Uint16, false).getValue(),
              CIMValue(std::uint32_t{512}));
    EXPECT_EQ(ValueArgument::parse("Status={2,5}").toProperty(CIMType::Uint16, true).getValue(),
              CIMValue(std::vector<std::uint16_t>{2, 5}));
}

TEST(ValueArgument, RejectsMalformedArguments)
{
    for (const char* bad : {"novalue", "=5", "9name=1", "X:int=1", "X:uint8=256", "X:uint16=-1", "X=\"open",
                            "X:uint16={1,2}", "X:instance=1", "X:datetime=yesterday"}) {
        EXPECT_THROW(ValueArgument::parse(bad).toParameter(), std::invalid_argument) << bad;
    }
}

} // namespace
} // namespace orvcim
