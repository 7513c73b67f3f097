// The subsystem's lists against a simulated array: first fill, changes made on the array
// behind the provider's back (found by queries and by the array's indications), look-ups by
// id, and the lists surviving a lost and regained link.
#include "ProviderSimFixture.h"

#include "vds/framework/VDSScopedLock.h"
#include "vds/objects/COrvTarget.h"

#include <algorithm>

namespace provider_test {
namespace {

class SubsystemRefreshTest : public ProviderSimTest {
protected:
    std::size_t enumeratedCount(HRESULT (IVdsSubSystem::*query)(IEnumVdsObject**),
                                IVdsSubSystem* subsystem)
    {
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ((subsystem->*query)(enumerator.put()), S_OK);
        return enumerator ? drain(enumerator).size() : 0;
    }

    std::size_t lunArrivals() const { return notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE).size(); }

    // The ids of the targets QueryTargets answers now.
    std::vector<VDS_OBJECT_ID> targetIds(IVdsSubSystem* subsystem)
    {
        CComPtr<IVdsSubSystemIscsi> iscsi;
        EXPECT_EQ(subsystem->QueryInterface(IID_IVdsSubSystemIscsi, iscsi.put_void()), S_OK);
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ(iscsi->QueryTargets(enumerator.put()), S_OK);
        return idsOf<COrvTarget>(enumerator);
    }

    // Manages an array at `address` whose volumes were all deleted before the log-in.
    CComPtr<IVdsSubSystem> managedArrayWithoutVolumes(const std::string& address)
    {
        m_array = &startArray(address);
        auto volumeIds = [](const Merrow::Sim::ModelView& view) {
            std::vector<std::string> ids;
            for (const auto& [id, volume] : view.state.volumes)
                ids.push_back(id);
            return ids;
        };
        const auto volumes = m_array->control().model().read(volumeIds);
        for (const std::string& id : volumes)
            EXPECT_EQ(m_array->control().removeVolume(id), Merrow::Sim::ControlResult::Ok);
        EXPECT_EQ(addArray(address), S_OK);
        return subsystemFor(address);
    }
};

bool contains(const std::vector<VDS_OBJECT_ID>& ids, const VDS_OBJECT_ID& id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

TEST_F(SubsystemRefreshTest, VolumeMadeBehindTheProvidersBackAppearsInQueryLunsOnce)
{
    auto subsystem = managedArray("127.84.10.1");
    const auto before = lunIds(subsystem);
    // The first fill announces nothing.
    EXPECT_EQ(lunArrivals(), 0u);

    std::string deviceId;
    ASSERT_EQ(m_array->control().addVolume("made-elsewhere", 2'000'000'000ull, deviceId),
              Merrow::Sim::ControlResult::Ok);
    // Queried at once, the array's cached list may not have the volume until its indication
    // arrived; either path adds exactly one LUN.
    std::vector<VDS_OBJECT_ID> after;
    ASSERT_TRUE(eventually([&] {
        after = lunIds(subsystem);
        return after.size() == before.size() + 1;
    }));
    VDS_OBJECT_ID added{};
    for (const auto& id : after) {
        if (!contains(before, id))
            added = id;
    }
    for (const auto& id : before)
        EXPECT_TRUE(contains(after, id)) << "an existing LUN kept its id";
    EXPECT_EQ(notificationCount(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE, added), 1u);

    // A second query adds nothing.
    EXPECT_EQ(lunIds(subsystem), after);
    EXPECT_EQ(lunArrivals(), 1u);

    // Deleted on the array, it departs with its old id.
    ASSERT_EQ(m_array->control().removeVolume(deviceId), Merrow::Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] {
        return notificationCount(VDS_NTT_LUN, VDS_NF_LUN_DEPART, added) == 1u;
    }));
    EXPECT_EQ(lunIds(subsystem).size(), before.size());
}

// The first queries list nothing. The volume made next is first found by queries that run
// while its indications cannot reach the subsystem (the test holds the provider's lock); the
// indications that follow find the LUN and its target listed already. Each arrives once.
TEST_F(SubsystemRefreshTest, AVolumeMadeOnAnArrayWithoutVolumesArrivesOnceWhenAQueryFindsItFirst)
{
    auto subsystem = managedArrayWithoutVolumes("127.101.2.1");
    ASSERT_TRUE(subsystem);
    ASSERT_TRUE(lunIds(subsystem).empty());
    ASSERT_TRUE(targetIds(subsystem).empty());

    std::string deviceId;
    {
        VDSScopedLock heldProvider(providerObject());
        ASSERT_EQ(
            m_array->control().addVolume("made-on-an-empty-array", 1'000'000'000ull, deviceId),
            Merrow::Sim::ControlResult::Ok);
        ASSERT_TRUE(eventually([&] {
            return lunIds(subsystem).size() == 1u && targetIds(subsystem).size() == 1u;
        }));
    }
    const VDS_OBJECT_ID lun = lunIds(subsystem).front();
    const VDS_OBJECT_ID target = targetIds(subsystem).front();
    // The rename's notification comes after everything the volume's creation set off.
    ASSERT_EQ(m_array->control().renameVolume(deviceId, "renamed"), Merrow::Sim::ControlResult::Ok);
    ASSERT_TRUE(
        eventually([&] { return notificationCount(VDS_NTT_LUN, VDS_NF_LUN_MODIFY, lun) > 0; }));

    EXPECT_EQ(notificationCount(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE, lun), 1u);
    EXPECT_EQ(lunArrivals(), 1u);
    EXPECT_EQ(notificationCount(VDS_NTT_TARGET, VDS_NF_TARGET_ARRIVE, target), 1u);
    EXPECT_EQ(notifiedIds(VDS_NTT_TARGET, VDS_NF_TARGET_ARRIVE).size(), 1u);
    EXPECT_EQ(lunIds(subsystem), std::vector<VDS_OBJECT_ID>{lun});
    EXPECT_EQ(targetIds(subsystem), std::vector<VDS_OBJECT_ID>{target});
    EXPECT_EQ(lunArrivals(), 1u);
}

TEST_F(SubsystemRefreshTest, ArrayIndicationsAloneAnnounceNewAndDeletedVolumes)
{
    auto subsystem = managedArray("127.84.11.1");
    const auto before = lunIds(subsystem);

    std::string deviceId;
    ASSERT_EQ(m_array->control().addVolume("indicated", 1'000'000'000ull, deviceId),
              Merrow::Sim::ControlResult::Ok);
    // Nobody queries: the indication reaches the subsystem through the background thread.
    ASSERT_TRUE(eventually([&] { return lunArrivals() == 1u; }));
    const VDS_OBJECT_ID added = notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE).front();
    EXPECT_FALSE(contains(before, added));

    ASSERT_EQ(m_array->control().removeVolume(deviceId), Merrow::Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] {
        return notificationCount(VDS_NTT_LUN, VDS_NF_LUN_DEPART, added) == 1u;
    }));
    EXPECT_EQ(lunIds(subsystem), before);
}

TEST_F(SubsystemRefreshTest, ListsHoldTheArraysObjectsAndAnswerLookUpsById)
{
    auto subsystem = managedArray("127.84.12.1");
    EXPECT_GE(enumeratedCount(&IVdsSubSystem::QueryControllers, subsystem), 1u);
    EXPECT_EQ(enumeratedCount(&IVdsSubSystem::QueryDrives, subsystem), 8u);
    CComPtr<IVdsSubSystemIscsi> iscsi;
    ASSERT_EQ(subsystem->QueryInterface(IID_IVdsSubSystemIscsi, iscsi.put_void()), S_OK);
    CComPtr<IEnumVdsObject> targets, portals;
    ASSERT_EQ(iscsi->QueryTargets(targets.put()), S_OK);
    ASSERT_EQ(iscsi->QueryPortals(portals.put()), S_OK);
    EXPECT_GE(drain(portals).size(), 1u);
    EXPECT_EQ(iscsi->QueryTargets(nullptr), E_INVALIDARG);

    // Every LUN is found by id through the provider and knows its subsystem.
    const auto luns = lunIds(subsystem);
    ASSERT_FALSE(luns.empty());
    CComPtr<IVdsProviderPrivate> provider;
    ASSERT_EQ(m_host->provider()->QueryInterface(IID_IVdsProviderPrivate, provider.put_void()),
              S_OK);
    const VDS_OBJECT_ID subsystemId = view(subsystem).id;
    for (const auto& id : luns) {
        CComPtr<IUnknown> object;
        ASSERT_EQ(provider->GetObject(id, VDS_OT_LUN, object.put()), S_OK);
        CComPtr<IVdsLun> lun;
        ASSERT_EQ(object->QueryInterface(IID_IVdsLun, lun.put_void()), S_OK);
        CComPtr<IVdsSubSystem> owner;
        ASSERT_EQ(lun->GetSubSystem(owner.put()), S_OK);
        EXPECT_EQ(view(owner).id, subsystemId);
    }
    CComPtr<IUnknown> none;
    EXPECT_TRUE(FAILED(provider->GetObject(GUID{0x1234, 1, 2, {3}}, VDS_OT_LUN, none.put())));
    EXPECT_FALSE(none);

    // Drives are found by bus and slot; a slot nobody has fails with the look-up's error.
    CComPtr<IVdsDrive> drive;
    bool foundOne = false;
    for (SHORT slot = 0; slot < 16 && !foundOne; ++slot)
        foundOne = subsystem->GetDrive(0, slot, drive.put()) == S_OK;
    EXPECT_TRUE(foundOne);
    CComPtr<IVdsDrive> missing;
    EXPECT_TRUE(FAILED(subsystem->GetDrive(0, 999, missing.put())));
    EXPECT_FALSE(missing);
    EXPECT_EQ(subsystem->GetDrive(0, 0, nullptr), E_INVALIDARG);
}

TEST_F(SubsystemRefreshTest, SubsystemMethodsRefuseWhatTheArrayCannotDo)
{
    auto subsystem = managedArray("127.84.13.1");
    EXPECT_EQ(subsystem->GetProperties(nullptr), E_INVALIDARG);
    EXPECT_EQ(subsystem->SetStatus(VDS_SSS_NOT_READY), E_INVALIDARG);
    EXPECT_EQ(subsystem->SetStatus(VDS_SSS_OFFLINE), S_OK);
    EXPECT_EQ(view(subsystem).status, VDS_SSS_ONLINE);
    CComPtr<IVdsMaintenance> maintenance;
    ASSERT_EQ(subsystem->QueryInterface(IID_IVdsMaintenance, maintenance.put_void()), S_OK);
    EXPECT_EQ(maintenance->StartMaintenance(BlinkLight), VDS_E_NOT_SUPPORTED);
    CComPtr<IVdsProvider> provider;
    ASSERT_EQ(subsystem->GetProvider(provider.put()), S_OK);
    EXPECT_EQ(provider.get(), m_host->provider());
}

TEST_F(SubsystemRefreshTest, ReenumerateAndALostLinkKeepTheObjectsAndTheirIds)
{
    auto subsystem = managedArray("127.84.14.1");
    const auto before = lunIds(subsystem);
    ASSERT_FALSE(before.empty());
    const std::string volumeId = m_array->control().model().read(
        [](const Merrow::Sim::ModelView& view) { return view.state.volumes.begin()->first; });
    ASSERT_EQ(subsystem->Reenumerate(), S_OK);
    EXPECT_EQ(lunIds(subsystem), before);

    m_array->control().dropNextRequests(1000000);
    ASSERT_TRUE(eventually([&] { return connectionStatus(subsystem) == 4u; }));
    m_array->control().dropNextRequests(0);
    ASSERT_TRUE(eventually([&] { return connectionStatus(subsystem) == 3u; }));

    // Back online, the same volumes are the same LUNs, and nothing departed.
    EXPECT_EQ(lunIds(subsystem), before);
    EXPECT_TRUE(notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_DEPART).empty());
    // The listing gave the LUNs fresh facades, and a volume's change reaches its LUN through
    // the fresh one.
    auto modifies = [&] { return notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_MODIFY).size(); };
    const std::size_t modifiesBefore = modifies();
    ASSERT_EQ(m_array->control().renameVolume(volumeId, "renamed-after-the-outage"),
              Merrow::Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return modifies() > modifiesBefore; }));
    // And their facades work again: a new volume still arrives.
    std::string deviceId;
    ASSERT_EQ(m_array->control().addVolume("after-the-outage", 1'000'000'000ull, deviceId),
              Merrow::Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return lunIds(subsystem).size() == before.size() + 1; }));
}

} // namespace
} // namespace provider_test
