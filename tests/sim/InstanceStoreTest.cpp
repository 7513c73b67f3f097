#include "sim/InstanceStore.h"

#include "sim/InstanceBuilder.h"

#include "cim/value/CIMKeyBinding.h"

#include <gtest/gtest.h>

namespace Merrow::Sim {
namespace {

using cim::CIMValue;

cim::CIMInstance extent(const char* className, const std::string& id, std::uint64_t blocks = 10)
{
    return InstanceBuilder(className)
        .set("SystemCreationClassName", "CIM_ComputerSystem")
        .set("SystemName", "array")
        .set("CreationClassName", className)
        .set("DeviceID", id)
        .set("NumberOfBlocks", CIMValue(blocks))
        .build();
}

std::string key(const char* className, const std::string& id) { return InstanceStore::objectKey(className, id); }

ProjectedGroup volumeGroup(std::uint64_t blocks = 10)
{
    ProjectedGroup group;
    group.objects.push_back(extent("CIM_StorageVolume", "v1", blocks));
    group.objects.push_back(extent("Merrow_LeafExtent", "l1"));
    group.links.push_back({"CIM_BasedOn", {key("Merrow_LeafExtent", "l1"), key("CIM_StorageVolume", "v1")}, "CIM_StorageVolume"});
    group.links.push_back({"CIM_BasedOn", {key("CIM_StorageExtent", "d1"), key("Merrow_LeafExtent", "l1")}, ""});
    return group;
}

ProjectedGroup diskGroup()
{
    ProjectedGroup group;
    group.objects.push_back(extent("CIM_StorageExtent", "d1", 100));
    return group;
}

class Store : public testing::Test {
protected:
    void SetUp() override
    {
        ChangeSet changes;
        store.replaceGroups({{"disk", diskGroup()}, {"volume", volumeGroup()}}, changes);
        ASSERT_EQ(changes.createdObjects.size(), 3u);
        ASSERT_EQ(changes.createdLinks.size(), 2u);
    }

    const ClassInfo* cls(const char* name) { return ClassRegistry::instance().find(Namespaces::Storage, name); }

    InstanceStore store{Namespaces::Storage};
};

TEST_F(Store, ReplacingAGroupReportsOnlyWhatChanged)
{
    ChangeSet same;
    store.replaceGroups({{"volume", volumeGroup()}}, same);
    EXPECT_TRUE(same.empty());

    ChangeSet grown;
    store.replaceGroups({{"volume", volumeGroup(20)}}, grown);
    ASSERT_EQ(grown.modified.size(), 1u);
    EXPECT_EQ(grown.modified[0].previous()->getPropertyValue("NumberOfBlocks"), CIMValue(std::uint64_t{10}));
    EXPECT_EQ(grown.modified[0].instance()->getPropertyValue("NumberOfBlocks"), CIMValue(std::uint64_t{20}));
    EXPECT_TRUE(grown.createdObjects.empty() && grown.deletedObjects.empty());
}

TEST_F(Store, RemovingAGroupDeletesLinksBeforeObjects)
{
    ChangeSet changes;
    store.removeGroup("volume", changes);
    const auto order = changes.inOrder();
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0].instance()->getClassName(), cim::CIMName("CIM_BasedOn"));
    EXPECT_EQ(order[1].className(), "CIM_BasedOn");
    EXPECT_EQ(order[3].kind(), ChangeKind::Deleted);
    EXPECT_FALSE(store.hasGroup("volume"));
    EXPECT_EQ(store.linkCount(), 0u);
}

TEST_F(Store, DeletingAnObjectTakesTheLinksOfOtherGroupsWithIt)
{
    ChangeSet changes;
    store.removeGroup("disk", changes);
    EXPECT_EQ(changes.deletedLinks.size(), 1u);
    EXPECT_EQ(store.linkCount(), 1u);
    ChangeSet again;
    store.replaceGroups({{"volume", volumeGroup()}, {"disk", diskGroup()}}, again);
    EXPECT_EQ(again.createdLinks.size(), 1u);
}

TEST_F(Store, ProjectionMistakesAreCaught)
{
    ChangeSet changes;
    ProjectedGroup twice;
    twice.objects.push_back(extent("CIM_StorageVolume", "v1"));
    EXPECT_THROW(store.replaceGroups({{"other", twice}}, changes), std::logic_error);
    ProjectedGroup dangling;
    dangling.links.push_back({"CIM_BasedOn", {key("CIM_StorageExtent", "nothing"), key("CIM_StorageVolume", "v1")}, ""});
    EXPECT_THROW(store.replaceGroups({{"dangling", dangling}}, changes), std::logic_error);
}

TEST_F(Store, FindsByPrimaryKeyThroughSuperclassesAndChecksOtherKeys)
{
    auto path = [](const char* className, std::vector<cim::CIMKeyBinding> keys) {
        return cim::CIMObjectPath("", Namespaces::Storage, className, std::move(keys));
    };
    const cim::CIMKeyBinding id("DeviceID", CIMValue("v1"));
    EXPECT_NE(store.find(path("CIM_StorageVolume", {id})), nullptr);
    EXPECT_NE(store.find(path("CIM_ManagedElement", {id})), nullptr);
    EXPECT_EQ(store.find(path("Merrow_LeafExtent", {id})), nullptr);
    EXPECT_EQ(store.find(path("CIM_StorageVolume", {id, cim::CIMKeyBinding("SystemName", CIMValue("other"))})), nullptr);
    EXPECT_EQ(store.find(path("CIM_StorageVolume", {id, cim::CIMKeyBinding("Color", CIMValue("red"))})), nullptr);
    EXPECT_NE(store.find(path("CIM_StorageVolume", {cim::CIMKeyBinding("SystemName", CIMValue("array"))})), nullptr);
    EXPECT_EQ(store.find(path("CIM_StorageVolume", {})), nullptr);
}

TEST_F(Store, NarrowedLinkAnswersOnlyWalksForItsClass)
{
    const StoredObject* leaf = store.findByKey(key("Merrow_LeafExtent", "l1"));
    ASSERT_NE(leaf, nullptr);
    auto reached = [&](const char* resultClass) {
        AssociationWalk walk{cls("CIM_BasedOn"), resultClass ? cls(resultClass) : nullptr, "", ""};
        std::vector<std::string> ids;
        for (const StoredObject* object : store.associators(*leaf, walk))
            ids.push_back(object->instance->getPropertyValue("DeviceID").get<std::string>());
        return ids;
    };
    EXPECT_EQ(reached("CIM_StorageExtent"), std::vector<std::string>{"d1"});
    EXPECT_EQ(reached("CIM_StorageVolume"), std::vector<std::string>{"v1"});
    EXPECT_EQ(reached(nullptr), (std::vector<std::string>{"d1", "v1"}));
    // The narrowing applies only in the direction it was declared for.
    const StoredObject* volume = store.findByKey(key("CIM_StorageVolume", "v1"));
    EXPECT_EQ(store.associators(*volume, {cls("CIM_BasedOn"), cls("CIM_StorageExtent"), "", ""}).size(), 1u);
}

TEST_F(Store, AssociationInstancesResolveByTheirReferences)
{
    const auto links = store.enumerateLinks(*cls("CIM_Dependency"));
    ASSERT_EQ(links.size(), 2u);
    const cim::CIMInstance instance = store.associationInstance(*links[0]);
    EXPECT_EQ(store.findLink(instance.getPath()), links[0]);
    const StoredObject* volume = store.findByKey(key("CIM_StorageVolume", "v1"));
    EXPECT_EQ(store.references(*volume, cls("CIM_BasedOn"), "Dependent").size(), 1u);
    EXPECT_EQ(store.references(*volume, cls("CIM_BasedOn"), "Antecedent").size(), 0u);
}

} // namespace
} // namespace Merrow::Sim
