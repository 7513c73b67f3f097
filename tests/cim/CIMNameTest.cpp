#include "cim/value/CIMName.h"

#include <gtest/gtest.h>

#include <map>

#include "cim/value/CIMNamespaceName.h"
#include "cim/value/CIMValueError.h"

namespace cim {
namespace {

TEST(CIMName, LegalIdentifiersOnly) {
    for (const char* legal : {"CIM_X", "_x", "a1", "\xC3\xA9t\xC3\xA9", "X"}) {
        EXPECT_TRUE(CIMName::legal(legal)) << legal;
    }
    for (const char* illegal : {"", "1a", "a-b", "a b", "a.b", "a:b", "a\"", "\xC3", "\xC3\xA9\xFF"}) {
        EXPECT_FALSE(CIMName::legal(illegal)) << illegal;
        if (*illegal) {
            EXPECT_THROW(CIMName{illegal}, CIMValueError) << illegal;
        }
    }
    EXPECT_TRUE(CIMName("").isNull());
}

TEST(CIMName, ComparesWithoutCaseAndKeepsCase) {
    const CIMName name("CIM_StorageVolume");
    EXPECT_EQ(name, CIMName("cim_storagevolume"));
    EXPECT_NE(name, CIMName("CIM_StorageVolumes"));
    EXPECT_EQ(name.getString(), "CIM_StorageVolume");

    std::map<CIMName, int, CIMNameLess> byName;
    byName["DeviceID"] = 1;
    byName["DEVICEID"] = 2;
    byName["Caption"] = 3;
    EXPECT_EQ(byName.size(), 2u);
    EXPECT_EQ(byName.at("deviceid"), 2);
    EXPECT_EQ(byName.begin()->first.getString(), "Caption");
}

TEST(CIMNamespaceName, ComponentsAndLeadingSlash) {
    const CIMNamespaceName ns("/root/snia");
    EXPECT_EQ(ns.getString(), "root/snia");
    ASSERT_EQ(ns.components().size(), 2u);
    EXPECT_EQ(ns.components()[1], "snia");
    EXPECT_EQ(ns, CIMNamespaceName("ROOT/SNIA"));
    for (const char* illegal : {"root/", "root//snia", "root snia", "root:snia", "//"}) {
        EXPECT_THROW(CIMNamespaceName{illegal}, CIMValueError) << illegal;
    }
}

} // namespace
} // namespace cim
