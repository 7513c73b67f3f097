#include "user_agent/connection/UAObjectPathFixer.h"

#include <gtest/gtest.h>

namespace Merrow::UserAgent {
namespace {

using Key = cim::CIMKeyBinding;

cim::CIMObjectPath pathOf(const char* className, std::vector<Key> keys) {
    return cim::CIMObjectPath("array", "root/snia", className, std::move(keys));
}

Key stringKey(const char* name, const char* value) {
    return Key(name, value, Key::Type::String);
}

TEST(UAObjectPathFixerTest, IdentifyingKeyThatIsNotFirstBecomesTheOnlyKey) {
    const auto path = pathOf("CIM_StorageVolume",
                             {stringKey("SystemName", "sys"), stringKey("CreationClassName", "x"),
                              stringKey("deviceid", "v1")});
    const auto fixed = UAObjectPathFixer::FixObjectPathForBadProviders(path);
    ASSERT_EQ(fixed.getKeyBindings().size(), 1u);
    EXPECT_EQ(fixed.getKeyBindings()[0].getValue(), "v1");
    EXPECT_EQ(fixed.getHost(), "array");
    EXPECT_EQ(fixed.getNameSpace(), cim::CIMNamespaceName("root/snia"));
    EXPECT_EQ(fixed.getClassName(), cim::CIMName("CIM_StorageVolume"));
}

TEST(UAObjectPathFixerTest, PathsThatNeedNoSwapStayAsTheyAre) {
    const cim::CIMObjectPath unchanged[] = {
        // Identifying key already first: the other keys stay.
        pathOf("CIM_ConcreteJob", {stringKey("InstanceID", "j1"), stringKey("Other", "o")}),
        // Class not in the table.
        pathOf("CIM_DiskDrive", {stringKey("SystemName", "s"), stringKey("DeviceID", "d")}),
        // Identifying key missing: only warned about.
        pathOf("CIM_SharedSecret", {stringKey("SystemName", "s"), stringKey("Name", "n")}),
        // A class path without keys.
        pathOf("CIM_StoragePool", {}),
    };
    for (const auto& path : unchanged) {
        const auto fixed = UAObjectPathFixer::FixObjectPathForBadProviders(path);
        EXPECT_EQ(fixed.toString(), path.toString());
    }
}

TEST(UAObjectPathFixerTest, ClassNamesCompareWithoutCase) {
    EXPECT_STREQ(UAObjectPathFixer::identifyingKeyOf("cim_sharedsecret"), "RemoteID");
    EXPECT_STREQ(UAObjectPathFixer::identifyingKeyOf("CIM_TCPProtocolEndpoint"), "Name");
    EXPECT_EQ(UAObjectPathFixer::identifyingKeyOf("CIM_ComputerSystem"), nullptr);
}

} // namespace
} // namespace Merrow::UserAgent
