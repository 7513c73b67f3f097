#include "cim/value/CIMInstance.h"

#include <gtest/gtest.h>

#include "cim/value/CIMException.h"
#include "cim/value/CIMPropertyList.h"
#include "cim/value/CIMValueError.h"

namespace cim {
namespace {

TEST(CIMInstance, PropertiesAreUniqueByNameWithoutCase) {
    CIMInstance instance("CIM_StorageVolume");
    instance.addProperty(CIMProperty("DeviceID", CIMValue("v1")));
    EXPECT_THROW(instance.addProperty(CIMProperty("deviceid", CIMValue("v2"))), CIMValueError);
    EXPECT_EQ(instance.findProperty("DEVICEID"), 0u);
    EXPECT_EQ(instance.findProperty("Size"), CIMInstance::npos);
    EXPECT_THROW(instance.getPropertyValue("Size"), CIMValueError);
    EXPECT_THROW(instance.getProperty("Size"), CIMValueError);
    EXPECT_EQ(instance.getProperty("deviceID").getName().getString(), "DeviceID");
    EXPECT_EQ(instance.getProperty(0).getName().getString(), "DeviceID");

    instance.setPropertyValue("Size", CIMValue(uint64_t{512}));
    instance.setPropertyValue("size", CIMValue(uint64_t{1024}));
    EXPECT_EQ(instance.getPropertyCount(), 2u);
    EXPECT_EQ(instance.getPropertyValue("Size").get<uint64_t>(), 1024u);
    EXPECT_THROW(instance.setPropertyValue("Size", CIMValue(uint32_t{1})), CIMValueError);
    EXPECT_NO_THROW(instance.setPropertyValue("Size", CIMValue(CIMType::Uint64, false)));
    EXPECT_TRUE(instance.getPropertyValue("Size").isNull());

    instance.removeProperty(0);
    EXPECT_FALSE(instance.hasProperty("DeviceID"));
    EXPECT_THROW(instance.removeProperty(5), CIMValueError);
}

TEST(CIMInstance, EqualityWeighsOrderPathAndClass) {
    CIMInstance a("CIM_X");
    a.addProperty(CIMProperty("A", CIMValue(uint8_t{1})));
    a.addProperty(CIMProperty("B", CIMValue(uint8_t{2})));
    CIMInstance b("cim_x");
    b.addProperty(CIMProperty("a", CIMValue(uint8_t{1})));
    b.addProperty(CIMProperty("b", CIMValue(uint8_t{2})));
    EXPECT_EQ(a, b);

    CIMInstance reordered("CIM_X");
    reordered.addProperty(CIMProperty("B", CIMValue(uint8_t{2})));
    reordered.addProperty(CIMProperty("A", CIMValue(uint8_t{1})));
    EXPECT_NE(a, reordered);

    b.setPath(CIMObjectPath("CIM_X.A=1"));
    EXPECT_NE(a, b);
}

TEST(CIMPropertyList, NullMeansAllAndEmptyMeansNone) {
    const CIMPropertyList all;
    const CIMPropertyList none(std::vector<CIMName>{});
    EXPECT_TRUE(all.includes("Anything"));
    EXPECT_FALSE(none.includes("Anything"));
    EXPECT_TRUE(all.toValue().isNull());
    EXPECT_EQ(none.toValue(), CIMValue(std::vector<std::string>{}));
    EXPECT_EQ(CIMPropertyList::fromValue(all.toValue()), all);
    EXPECT_EQ(CIMPropertyList::fromValue(none.toValue()), none);

    const CIMPropertyList some(std::vector<CIMName>{"Name", "Size"});
    EXPECT_TRUE(some.includes("SIZE"));
    EXPECT_EQ(CIMPropertyList::fromValue(some.toValue()), some);
    EXPECT_THROW(CIMPropertyList::fromValue(CIMValue("Name")), CIMValueError);
    EXPECT_THROW(CIMPropertyList::fromValue(CIMValue(std::vector<std::string>{"bad name"})),
                 CIMValueError);
}

TEST(CIMException, NamesKnownAndUnknownCodes) {
    const CIMException notFound(CIMStatusCode::NotFound, "no such volume");
    EXPECT_STREQ(notFound.what(), "CIM_ERR_NOT_FOUND: no such volume");
    EXPECT_EQ(notFound.getCodeNumber(), 6);
    const CIMException bare(CIMStatusCode::AccessDenied);
    EXPECT_EQ(std::string(bare.what()).rfind("CIM_ERR_ACCESS_DENIED: ", 0), 0u);
    EXPECT_NE(std::string(bare.what()).size(), std::string("CIM_ERR_ACCESS_DENIED: ").size());
    const CIMException unknown(26, "");
    EXPECT_EQ(unknown.getCode(), static_cast<CIMStatusCode>(26));
    EXPECT_EQ(CIMException::statusName(unknown.getCode()), "CIM_ERR_UNKNOWN_26");
    EXPECT_EQ(CIMException::statusName(static_cast<CIMStatusCode>(-1)), "CIM_ERR_UNKNOWN_-1");
}

} // namespace
} // namespace cim
