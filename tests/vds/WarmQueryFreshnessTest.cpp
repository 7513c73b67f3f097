// Warm queries answer from what the provider and the client library keep between calls;
// these tests change the array behind the provider's back after the lists and properties
// were read (so that everything is cached) and expect every change to show, with its
// notification: volumes made, renamed, grown and deleted, a target's CHAP switched at the
// array's console. The arrays sit on 127.95.x.y.
#include "LunSimFixture.h"
#include "user_agent/indications/ServiceInstanceID.h"

#include <algorithm>
#include <set>

namespace provider_test {
namespace {

constexpr ULONGLONG kGiB = 1ull << 30;

class WarmQueryFreshnessTest : public LunSimTest {
protected:
    // Two rounds of QueryLuns and GetProperties of every LUN, so that the next query is a
    // warm one; the LUNs' ids.
    std::vector<VDS_OBJECT_ID> warmUp(IVdsSubSystem* subsystem)
    {
        std::vector<VDS_OBJECT_ID> ids;
        for (int round = 0; round < 2; ++round) {
            ids = lunIds(subsystem);
            for (const auto& id : ids)
                EXPECT_EQ(view(lun(id)).hr, S_OK);
        }
        return ids;
    }

    CComPtr<IVdsLun> lun(const VDS_OBJECT_ID& id)
    {
        CComPtr<IVdsProviderPrivate> provider;
        EXPECT_EQ(m_host->provider()->QueryInterface(IID_IVdsProviderPrivate, provider.put_void()),
                  S_OK);
        CComPtr<IUnknown> object;
        CComPtr<IVdsLun> found;
        if (provider->GetObject(id, VDS_OT_LUN, object.put()) == S_OK)
            object->QueryInterface(IID_IVdsLun, found.put_void());
        return found;
    }

    // The friendly names of the LUNs a query answers now.
    std::set<std::string> lunNames(IVdsSubSystem* subsystem)
    {
        std::set<std::string> names;
        for (const auto& id : lunIds(subsystem)) {
            if (auto found = lun(id))
                names.insert(view(found).friendlyName);
        }
        return names;
    }

    static VDS_ISCSI_TARGET_PROP targetProperties(IVdsIscsiTarget* target)
    {
        VDS_ISCSI_TARGET_PROP prop{};
        EXPECT_EQ(target->GetProperties(&prop), S_OK);
        CoTaskMemFree(prop.pwszIscsiName);
        CoTaskMemFree(prop.pwszFriendlyName);
        prop.pwszIscsiName = nullptr;
        prop.pwszFriendlyName = nullptr;
        return prop;
    }

    // Every target's properties, twice, through QueryTargets.
    void warmUpTargets(IVdsSubSystem* subsystem)
    {
        CComPtr<IVdsSubSystemIscsi> iscsi;
        ASSERT_EQ(subsystem->QueryInterface(IID_IVdsSubSystemIscsi, iscsi.put_void()), S_OK);
        for (int round = 0; round < 2; ++round) {
            CComPtr<IEnumVdsObject> enumerator;
            ASSERT_EQ(iscsi->QueryTargets(enumerator.put()), S_OK);
            for (auto& object : drain(enumerator)) {
                CComPtr<IVdsIscsiTarget> target;
                ASSERT_EQ(object->QueryInterface(IID_IVdsIscsiTarget, target.put_void()), S_OK);
                targetProperties(target);
            }
        }
    }

    static CComPtr<IVdsIscsiTarget> targetOf(IVdsLun* lun)
    {
        CComPtr<IVdsLunIscsi> lunIscsi;
        EXPECT_EQ(lun->QueryInterface(IID_IVdsLunIscsi, lunIscsi.put_void()), S_OK);
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ(lunIscsi->QueryAssociatedTargets(enumerator.put()), S_OK);
        IUnknown* next = nullptr;
        ULONG fetched = 0;
        CComPtr<IVdsIscsiTarget> target;
        if (enumerator && enumerator->Next(1, &next, &fetched) == S_OK && fetched == 1) {
            next->QueryInterface(IID_IVdsIscsiTarget, target.put_void());
            next->Release();
        }
        return target;
    }
};

TEST_F(WarmQueryFreshnessTest, AVolumeMadeRenamedGrownAndDeletedOnTheArrayShowsInWarmQueries)
{
    auto subsystem = managedArray("127.95.1.1");
    const auto before = warmUp(subsystem);

    std::string deviceId;
    ASSERT_EQ(control().addVolume("made-at-the-console", kGiB, deviceId),
              Merrow::Sim::ControlResult::Ok);
    VDS_OBJECT_ID added{};
    ASSERT_TRUE(eventually([&] {
        for (const auto& id : lunIds(subsystem)) {
            if (std::find(before.begin(), before.end(), id) == before.end())
                added = id;
        }
        return added != GUID_NULL;
    }));
    EXPECT_EQ(notificationCount(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE, added), 1u);
    CComPtr<IVdsLun> made = lun(added);
    ASSERT_TRUE(made);
    const LunView first = view(made);
    EXPECT_EQ(first.friendlyName, "made-at-the-console");
    EXPECT_GE(first.size, kGiB);
    // Warm again, so that the renamed and grown volume must come through the caches.
    warmUp(subsystem);

    const std::size_t modifiesBefore = notificationCount(VDS_NTT_LUN, VDS_NF_LUN_MODIFY, added);
    ASSERT_EQ(control().renameVolume(deviceId, "renamed-at-the-console"),
              Merrow::Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return view(made).friendlyName == "renamed-at-the-console"; }));
    EXPECT_TRUE(eventually([&] {
        return notificationCount(VDS_NTT_LUN, VDS_NF_LUN_MODIFY, added) > modifiesBefore;
    }));

    ASSERT_EQ(control().growVolume(deviceId, 3 * kGiB), Merrow::Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return view(made).size >= 3 * kGiB; }));
    // Neither change made or dropped a LUN.
    EXPECT_EQ(lunIds(subsystem).size(), before.size() + 1);

    ASSERT_EQ(control().removeVolume(deviceId), Merrow::Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] {
        return notificationCount(VDS_NTT_LUN, VDS_NF_LUN_DEPART, added) == 1u;
    }));
    const auto after = lunIds(subsystem);
    EXPECT_EQ(std::find(after.begin(), after.end(), added), after.end());
    EXPECT_EQ(after.size(), before.size());
}

TEST_F(WarmQueryFreshnessTest, AVolumeMadeBetweenWarmQueriesArrivesOnceAndStays)
{
    auto subsystem = managedArray("127.95.1.2");
    const auto before = warmUp(subsystem);
    // Queried at once: the first query after the change may run before the array's
    // indication arrived, and a later one after it; either way exactly one LUN arrives.
    std::string deviceId;
    ASSERT_EQ(control().addVolume("between-warm-queries", kGiB, deviceId),
              Merrow::Sim::ControlResult::Ok);
    ASSERT_TRUE(eventually([&] { return lunIds(subsystem).size() == before.size() + 1; }));
    warmUp(subsystem);
    EXPECT_EQ(notifiedIds(VDS_NTT_LUN, VDS_NF_LUN_ARRIVE).size(), 1u);
    EXPECT_EQ(lunNames(subsystem).count("between-warm-queries"), 1u);
    EXPECT_EQ(lunIds(subsystem).size(), before.size() + 1);
}

// Following one new volume on an array of many must not make a client-library facade (each
// one subscribing to the array's classes) for every volume and target the array holds.
TEST_F(WarmQueryFreshnessTest, ANewVolumeMakesFacadesForTheNewObjectsOnly)
{
    auto subsystem = managedArray("127.95.1.3");
    constexpr int kVolumes = 60;
    for (int i = 0; i < kVolumes; ++i) {
        std::string deviceId;
        ASSERT_EQ(control().addVolume("existing-" + std::to_string(i), kGiB, deviceId),
                  Merrow::Sim::ControlResult::Ok);
    }
    ASSERT_TRUE(eventually([&] { return lunIds(subsystem).size() >= kVolumes; }));
    const auto before = warmUp(subsystem);
    warmUpTargets(subsystem);

    using Merrow::UserAgent::ServiceInstanceID;
    const std::uint64_t firstSerial = ServiceInstanceID::nextSerial();
    std::string deviceId;
    ASSERT_EQ(control().addVolume("one-more", kGiB, deviceId), Merrow::Sim::ControlResult::Ok);
    // The new volume joins the system's list when its own indications are applied, after
    // those of the sixty before it: under ThreadSanitizer that burst takes over a minute.
    ASSERT_TRUE(eventually([&] { return lunIds(subsystem).size() == before.size() + 1; },
                           std::chrono::minutes(3)));
    warmUp(subsystem);
    warmUpTargets(subsystem);
    const std::uint64_t made = ServiceInstanceID::nextSerial() - firstSerial - 1;
    EXPECT_LT(made, kVolumes / 2u) << "facades made while following one new volume";
    EXPECT_EQ(lunNames(subsystem).count("one-more"), 1u);
}

TEST_F(WarmQueryFreshnessTest, CHAPSwitchedAtTheArraysConsoleShowsInTheTargetsWarmProperties)
{
    auto subsystem = managedArray("127.95.2.1");
    warmUp(subsystem);
    warmUpTargets(subsystem);
    CComPtr<IVdsLun> first = lun(lunIds(subsystem).front());
    ASSERT_TRUE(first);
    const std::string volume = view(first).friendlyName;
    CComPtr<IVdsIscsiTarget> target = targetOf(first);
    ASSERT_TRUE(target);
    EXPECT_FALSE(targetProperties(target).bChapEnabled);

    ASSERT_EQ(control().setTargetChap(volume, true), Merrow::Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return targetProperties(target).bChapEnabled == TRUE; }));
    warmUpTargets(subsystem);
    ASSERT_EQ(control().setTargetChap(volume, false), Merrow::Sim::ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return targetProperties(target).bChapEnabled == FALSE; }));
}

} // namespace
} // namespace provider_test
