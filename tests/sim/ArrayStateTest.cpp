#include "sim/ArrayState.h"
#include "sim/ArrayStateJson.h"

#include <gtest/gtest.h>

namespace Merrow::Sim {
namespace {

ArrayState stateWithOneDisk()
{
    ArrayState state;
    state.disks["38000001"] = SimDisk{"38000001", 1, 1000, "S1", "M", "V", "F", PoolId::BaseA, true};
    return state;
}

SimVolume volumeOn(const std::string& id, std::uint64_t blocks)
{
    SimVolume volume;
    volume.id = id;
    volume.name = "v" + id;
    volume.layout.blocks = blocks;
    volume.layout.extents.push_back({"39" + id.substr(2), "38000001", blocks});
    return volume;
}

TEST(ArrayState, IdsCountUpPerKindAndCarryTheirPrefix)
{
    ArrayState state;
    EXPECT_EQ(state.allocateId(IdPrefix::Volume), "3a000001");
    EXPECT_EQ(state.allocateId(IdPrefix::Volume), "3a000002");
    EXPECT_EQ(state.allocateId(IdPrefix::Disk), "38000001");
    state.nextId[IdPrefix::Job] = 0xabcdef;
    EXPECT_EQ(state.allocateId(IdPrefix::Job), "3eabcdef");
}

TEST(ArrayState, FreeSpaceCountsEveryVolumeOnTheDisk)
{
    ArrayState state = stateWithOneDisk();
    state.volumes["3a000001"] = volumeOn("3a000001", 300);
    state.volumes["3a000002"] = volumeOn("3a000002", 200);
    EXPECT_EQ(state.freeBlocks(state.disks.at("38000001")), 500u);
}

TEST(ArrayState, ReconfigurationHoldsTheLargerOfOldAndNewLayout)
{
    ArrayState state = stateWithOneDisk();
    SimVolume volume = volumeOn("3a000001", 300);
    volume.reconfiguration = SimReconfiguration{"3a000002", {}};
    volume.reconfiguration->layout.extents.push_back({"39000009", "38000001", 450});
    state.volumes[volume.id] = volume;
    EXPECT_EQ(state.freeBlocks(state.disks.at("38000001")), 550u);

    state.volumes.at(volume.id).reconfiguration->layout.extents[0].blocks = 100;
    EXPECT_EQ(state.freeBlocks(state.disks.at("38000001")), 700u);
}

TEST(ArrayState, OvercommittedDiskHasNoFreeSpaceRatherThanWrapping)
{
    ArrayState state = stateWithOneDisk();
    state.volumes["3a000001"] = volumeOn("3a000001", 1500);
    EXPECT_EQ(state.freeBlocks(state.disks.at("38000001")), 0u);
}

TEST(ArrayStateJson, RoundTripKeepsEverything)
{
    ArrayState state = stateWithOneDisk();
    state.system.serialNumber = "5A1C93F2";
    state.system.name = "array one";
    state.system.settings["iSNS"] = {{"iSNSEnabled", true}};
    SimVolume volume = volumeOn("3a000001", 300);
    volume.layout.organization = VolumeOrganization::Parity;
    volume.target.secret = "0123456789ab";
    volume.target.settings["MaxConnectionsPerSession"] = 4;
    volume.reconfiguration = SimReconfiguration{"3a000002", {}};
    state.volumes[volume.id] = volume;
    state.jobs["3e000001"] = SimJob{"3e000001", JobKind::ReconfigureVolume, volume.id, "Reconfigure"};
    state.lags["42000001"] = SimLag{"42000001", 1, "lag", "00:00", {"34000101", "34000102"}};
    state.listenerObjects["4f000001"] = {{"class", "CIM_IndicationFilter"}, {"properties", {{"Name", "f"}}}};
    state.allocateId(IdPrefix::Volume);

    const nlohmann::json text = ArrayStateJson::toJson(state);
    const ArrayState back = ArrayStateJson::fromJson(nlohmann::json::parse(text.dump()));

    EXPECT_EQ(ArrayStateJson::toJson(back), text);
    ASSERT_EQ(back.volumes.count("3a000001"), 1u);
    const SimVolume& read = back.volumes.at("3a000001");
    EXPECT_EQ(read.layout.organization, VolumeOrganization::Parity);
    ASSERT_TRUE(read.reconfiguration.has_value());
    EXPECT_EQ(read.reconfiguration->shadowId, "3a000002");
    EXPECT_EQ(back.jobs.at("3e000001").kind, JobKind::ReconfigureVolume);
    EXPECT_EQ(back.lags.at("42000001").portIds.size(), 2u);
    EXPECT_EQ(back.nextId.at(IdPrefix::Volume), 2u);
}

TEST(ArrayStateJson, MissingMembersTakeTheirDefaults)
{
    const auto json = nlohmann::json::parse(R"({"format":1,"system":{"serialNumber":"X"},
        "disks":[{"id":"38000001","blocks":5}], "volumes":[{"id":"3a000001"}]})");
    const ArrayState state = ArrayStateJson::fromJson(json);
    EXPECT_EQ(state.system.firmwareVersion, "2.8.2.2");
    EXPECT_TRUE(state.disks.at("38000001").online);
    EXPECT_TRUE(state.volumes.at("3a000001").ready);
    EXPECT_FALSE(state.volumes.at("3a000001").reconfiguration.has_value());
}

TEST(ArrayStateJson, RefusesWhatIsNotAState)
{
    EXPECT_ANY_THROW(ArrayStateJson::fromJson(nlohmann::json::parse("[1,2]")));
    EXPECT_ANY_THROW(ArrayStateJson::fromJson(nlohmann::json::parse(R"({"format":2,"system":{}})")));
    EXPECT_ANY_THROW(ArrayStateJson::fromJson(nlohmann::json::parse(R"({"format":1})")));
    EXPECT_ANY_THROW(
        ArrayStateJson::fromJson(nlohmann::json::parse(R"({"format":1,"system":{},"disks":[{"id":7}]})")));
}

} // namespace
} // namespace Merrow::Sim
