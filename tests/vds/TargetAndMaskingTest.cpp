// Targets, portals, portal groups, CHAP and LUN masking of the provider against simulated
// arrays: what VDS sees matches the array, unmasking lists become the array's grants, and
// the array's refusals come back with its words.
#include "ProviderSimFixture.h"

#include "platform/com/ErrorDescription.h"
#include "sim/ArrayFailureCodes.h"
#include "vds/objects/COrvLun.h"
#include "vds/objects/COrvPortal.h"
#include "vds/objects/COrvTarget.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <set>

namespace provider_test {
namespace {

using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;
using Merrow::Sim::ArrayState;
using Merrow::Sim::ControlResult;
using Merrow::Sim::ModelView;

constexpr const char* kHost1 = "iqn.2024-01.org.example:host1";
constexpr const char* kHost2 = "iqn.2024-01.org.example:host2";
constexpr const char* kNewHost = "iqn.2026-11.com.example:new-host";

class TargetAndMaskingTest : public ProviderSimTest {
protected:
    template <class Interface>
    std::vector<CComPtr<Interface>> objectsOf(IEnumVdsObject* enumerator, const IID& iid)
    {
        std::vector<CComPtr<Interface>> out;
        for (auto& object : drain(enumerator)) {
            CComPtr<Interface> typed;
            EXPECT_EQ(object->QueryInterface(iid, typed.put_void()), S_OK);
            out.push_back(typed);
        }
        return out;
    }

    std::vector<CComPtr<IVdsLun>> luns(IVdsSubSystem* subsystem)
    {
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ(subsystem->QueryLuns(enumerator.put()), S_OK);
        return objectsOf<IVdsLun>(enumerator.get(), IID_IVdsLun);
    }

    std::vector<CComPtr<IVdsIscsiTarget>> targets(IVdsSubSystem* subsystem)
    {
        CComPtr<IVdsSubSystemIscsi> iscsi;
        EXPECT_EQ(subsystem->QueryInterface(IID_IVdsSubSystemIscsi, iscsi.put_void()), S_OK);
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ(iscsi->QueryTargets(enumerator.put()), S_OK);
        return objectsOf<IVdsIscsiTarget>(enumerator.get(), IID_IVdsIscsiTarget);
    }

    std::vector<CComPtr<IVdsIscsiPortal>> portals(IVdsSubSystem* subsystem)
    {
        CComPtr<IVdsSubSystemIscsi> iscsi;
        EXPECT_EQ(subsystem->QueryInterface(IID_IVdsSubSystemIscsi, iscsi.put_void()), S_OK);
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ(iscsi->QueryPortals(enumerator.put()), S_OK);
        return objectsOf<IVdsIscsiPortal>(enumerator.get(), IID_IVdsIscsiPortal);
    }

    template <class Object, class Interface> static Object* implementation(Interface* object)
    {
        Object* found = nullptr;
        EXPECT_EQ(object->QueryInterface(GUID_NULL, reinterpret_cast<void**>(&found)), S_OK);
        return found;
    }

    // The array's id of the volume behind a LUN.
    std::string volumeIdOf(IVdsLun* lun)
    {
        std::string durable, failure;
        implementation<COrvLun>(lun)->ReadOrderKey(durable, failure);
        return m_array->control().model().read([&](const ModelView& view) {
            for (const auto& [id, volume] : view.state.volumes) {
                if (volume.durableName == durable)
                    return id;
            }
            return std::string();
        });
    }

    // The iSCSI names the array grants access to the volume.
    std::set<std::string> granted(const std::string& volumeId)
    {
        return m_array->control().model().read([&](const ModelView& view) {
            std::set<std::string> names;
            for (const auto& [id, grant] : view.state.grants) {
                if (grant.volumeId == volumeId)
                    names.insert(view.state.initiators.at(grant.initiatorId).name);
            }
            return names;
        });
    }

    template <class Result> Result fromArray(const std::function<Result(const ArrayState&)>& read)
    {
        return m_array->control().model().read([&](const ModelView& view) { return read(view.state); });
    }

    HRESULT setMask(IVdsLun* lun, const std::string& list)
    {
        std::u16string wide = orv::platform::Utf8ToUtf16(list);
        return lun->SetMask(wide.data());
    }

    std::uint64_t requests(const std::string& method) { return m_array->control().requestCount(method); }

    static VDS_OBJECT_ID lunId(IVdsLun* lun) { return implementation<COrvLun>(lun)->GetGuid(); }
};

TEST_F(TargetAndMaskingTest, UnmaskingListsBecomeExactlyTheArraysGrants)
{
    auto subsystem = managedArray("127.90.1.1");
    const auto all = luns(subsystem);
    ASSERT_EQ(all.size(), 2u);
    IVdsLun* lun = all[0].get();
    const std::string volume = volumeIdOf(lun);
    const std::string otherVolume = volumeIdOf(all[1].get());

    // One known initiator and one the array has never seen.
    ASSERT_EQ(setMask(lun, std::string(kHost1) + ";" + kNewHost), S_OK);
    EXPECT_THAT(granted(volume), UnorderedElementsAre(kHost1, kNewHost));
    EXPECT_EQ(requests("CreateStorageHardwareID"), 1u) << "only the unknown one is registered";
    EXPECT_TRUE(granted(otherVolume).empty());
    EXPECT_EQ(implementation<COrvLun>(lun)->UnmaskingList().size(),
              orv::platform::Utf8ToUtf16(std::string(kHost1) + ";" + kNewHost).size());

    // Naming only the new one revokes the other and keeps it.
    ASSERT_EQ(setMask(lun, kNewHost), S_OK);
    EXPECT_THAT(granted(volume), UnorderedElementsAre(kNewHost));
    EXPECT_EQ(orv::platform::Utf16ToUtf8(implementation<COrvLun>(lun)->UnmaskingList()), kNewHost);

    // The same list again changes nothing on the array.
    m_array->control().resetRequestCounts();
    ASSERT_EQ(setMask(lun, kNewHost), S_OK);
    EXPECT_EQ(requests("ExposePaths") + requests("HidePaths") + requests("CreateStorageHardwareID"), 0u);

    // The empty list revokes every grant.
    ASSERT_EQ(setMask(lun, ""), S_OK);
    EXPECT_TRUE(granted(volume).empty());
    EXPECT_TRUE(implementation<COrvLun>(lun)->UnmaskingList().empty());
}

TEST_F(TargetAndMaskingTest, EveryMaskChangeReachesVdsAsLunAndTargetNotifications)
{
    auto subsystem = managedArray("127.90.1.2");
    CComPtr<IVdsLun> lun = luns(subsystem).front();
    CComPtr<IVdsLunIscsi> lunIscsi;
    ASSERT_EQ(lun->QueryInterface(IID_IVdsLunIscsi, lunIscsi.put_void()), S_OK);
    CComPtr<IEnumVdsObject> enumerator;
    ASSERT_EQ(lunIscsi->QueryAssociatedTargets(enumerator.put()), S_OK);
    const auto associated = objectsOf<IVdsIscsiTarget>(enumerator.get(), IID_IVdsIscsiTarget);
    ASSERT_EQ(associated.size(), 1u);
    const VDS_OBJECT_ID target = implementation<COrvTarget>(associated[0].get())->GetGuid();

    const std::size_t lunBefore = notificationCount(VDS_NTT_LUN, VDS_NF_LUN_MODIFY, lunId(lun));
    const std::size_t targetBefore = notificationCount(VDS_NTT_TARGET, VDS_NF_TARGET_MODIFY, target);
    ASSERT_EQ(setMask(lun, kHost2), S_OK);
    EXPECT_GT(notificationCount(VDS_NTT_LUN, VDS_NF_LUN_MODIFY, lunId(lun)), lunBefore);
    EXPECT_GT(notificationCount(VDS_NTT_TARGET, VDS_NF_TARGET_MODIFY, target), targetBefore);
}

TEST_F(TargetAndMaskingTest, AllHostsAndMalformedListsAreRefusedBeforeAnythingIsApplied)
{
    auto subsystem = managedArray("127.90.1.3");
    CComPtr<IVdsLun> lun = luns(subsystem).front();
    const std::string volume = volumeIdOf(lun);
    ASSERT_EQ(setMask(lun, kHost1), S_OK);
    m_array->control().resetRequestCounts();

    struct Case {
        const char* description;
        std::string list;
        const char* says;
    };
    const Case cases[] = {
        {"every host", "*", "every host"},
        {"an empty item", std::string(kHost2) + ";;" + kNewHost, "empty entry"},
        {"a trailing separator", std::string(kHost2) + ";", "empty entry"},
        {"no iSCSI name", std::string(kHost2) + ";host-three", "host-three"},
        {"month 13", "iqn.2026-13.com.example:x", "not a well-formed"},
        {"white space", "iqn.2026-01.com.example:a b", "not a well-formed"},
        {"a short eui", "eui.02004567A425678", "not a well-formed"},
        {"a name twice", std::string(kHost2) + ";" + kNewHost + ";" + kHost2, "named twice"},
    };
    for (const Case& c : cases) {
        orv::platform::ClearErrorDescription();
        EXPECT_EQ(setMask(lun, c.list), E_INVALIDARG) << c.description;
        EXPECT_THAT(orv::platform::TakeErrorDescription().value_or(""), HasSubstr(c.says)) << c.description;
    }
    EXPECT_EQ(lun->SetMask(nullptr), E_INVALIDARG);
    EXPECT_EQ(requests("ExposePaths") + requests("HidePaths") + requests("CreateStorageHardwareID"), 0u);
    EXPECT_THAT(granted(volume), UnorderedElementsAre(kHost1));

    // The other name forms are accepted.
    EXPECT_EQ(setMask(lun, "eui.02004567A425678D;naa.52004567BA64678D"), S_OK);
    EXPECT_THAT(granted(volume), UnorderedElementsAre("eui.02004567A425678D", "naa.52004567BA64678D"));
}

TEST_F(TargetAndMaskingTest, AGrantTheArrayRefusesLeavesTheOthersDoneAndSaysWhy)
{
    auto subsystem = managedArray("127.90.1.4");
    CComPtr<IVdsLun> lun = luns(subsystem).front();
    const std::string volume = volumeIdOf(lun);
    m_array->control().failNextCalls("ExposePaths", 1, Merrow::Sim::ArrayFailure::InitiatorAlreadyOnTarget);

    orv::platform::ClearErrorDescription();
    EXPECT_EQ(setMask(lun, std::string(kHost1) + ";" + kHost2), E_FAIL);
    const std::string said = orv::platform::TakeErrorDescription().value_or("");
    EXPECT_THAT(said, HasSubstr(kHost1));
    EXPECT_THAT(said, HasSubstr("Initiator is already associated with Target Node"));
    EXPECT_THAT(granted(volume), UnorderedElementsAre(kHost2));

    // Asked again, only the refused one is granted.
    m_array->control().resetRequestCounts();
    EXPECT_EQ(setMask(lun, std::string(kHost1) + ";" + kHost2), S_OK);
    EXPECT_EQ(requests("ExposePaths"), 1u);
    EXPECT_THAT(granted(volume), UnorderedElementsAre(kHost1, kHost2));
}

TEST_F(TargetAndMaskingTest, TargetsAndTheirLunsAreTheArraysOnePerVolume)
{
    auto subsystem = managedArray("127.90.1.5");
    const auto all = targets(subsystem);
    const auto iqns = fromArray<std::set<std::string>>([](const ArrayState& state) {
        std::set<std::string> names;
        for (const auto& [id, volume] : state.volumes)
            names.insert(volume.target.iqn);
        return names;
    });
    ASSERT_EQ(all.size(), iqns.size());
    for (auto& target : all) {
        VDS_ISCSI_TARGET_PROP prop{};
        ASSERT_EQ(target->GetProperties(&prop), S_OK);
        const std::string iqn = orv::platform::Utf16ToUtf8(prop.pwszIscsiName);
        EXPECT_TRUE(iqns.count(iqn)) << iqn;
        EXPECT_FALSE(prop.bChapEnabled);
        CoTaskMemFree(prop.pwszIscsiName);
        CoTaskMemFree(prop.pwszFriendlyName);

        // The target's LUN names this target back.
        CComPtr<IEnumVdsObject> lunEnum;
        ASSERT_EQ(target->QueryAssociatedLuns(lunEnum.put()), S_OK);
        const auto targetLuns = objectsOf<IVdsLun>(lunEnum.get(), IID_IVdsLun);
        ASSERT_EQ(targetLuns.size(), 1u);
        CComPtr<IVdsLunIscsi> lunIscsi;
        ASSERT_EQ(targetLuns[0]->QueryInterface(IID_IVdsLunIscsi, lunIscsi.put_void()), S_OK);
        CComPtr<IEnumVdsObject> back;
        ASSERT_EQ(lunIscsi->QueryAssociatedTargets(back.put()), S_OK);
        const auto backTargets = objectsOf<IVdsIscsiTarget>(back.get(), IID_IVdsIscsiTarget);
        ASSERT_EQ(backTargets.size(), 1u);
        EXPECT_EQ(implementation<COrvTarget>(backTargets[0].get())->GetGuid(),
                  implementation<COrvTarget>(target.get())->GetGuid());
        EXPECT_EQ(lunIscsi->AssociateTargets(nullptr, 0), VDS_E_NOT_SUPPORTED);
        EXPECT_EQ(target->Delete(nullptr), VDS_E_NOT_SUPPORTED);
    }
    EXPECT_EQ(targets(subsystem).size(), all.size()) << "refused deletes leave the targets";
}

TEST_F(TargetAndMaskingTest, EachTargetHasOneGroupHoldingEveryPortal)
{
    auto subsystem = managedArray("127.90.1.6");
    const auto allPortals = portals(subsystem);
    std::set<std::string> addresses;
    for (auto& portal : allPortals) {
        VDS_ISCSI_PORTAL_PROP prop{};
        ASSERT_EQ(portal->GetProperties(&prop), S_OK);
        EXPECT_EQ(prop.address.type, VDS_IPT_TEXT);
        EXPECT_EQ(prop.address.ulPort, 3260u);
        EXPECT_EQ(prop.status, VDS_IPS_ONLINE);
        addresses.insert(orv::platform::Utf16ToUtf8(prop.address.wszTextAddress));
        EXPECT_EQ(portal->SetStatus(VDS_IPS_OFFLINE), VDS_E_NOT_SUPPORTED);
        EXPECT_EQ(portal->SetStatus(VDS_IPS_NOT_READY), E_INVALIDARG);
        EXPECT_EQ(portal->GetIpsecSecurity(nullptr, nullptr), VDS_E_NOT_SUPPORTED);
    }
    const auto arrayAddresses = fromArray<std::set<std::string>>([](const ArrayState& state) {
        std::set<std::string> out;
        for (const auto& [id, portal] : state.portals)
            out.insert(portal.ipAddress);
        return out;
    });
    EXPECT_EQ(addresses, arrayAddresses);

    CComPtr<IVdsIscsiTarget> target = targets(subsystem).front();
    CComPtr<IVdsAsync> first, second;
    ASSERT_EQ(target->CreatePortalGroup(first.put()), S_OK);
    ASSERT_EQ(target->CreatePortalGroup(second.put()), S_OK);
    HRESULT hrFirst = E_FAIL, hrSecond = E_FAIL;
    VDS_ASYNC_OUTPUT outFirst{}, outSecond{};
    ASSERT_EQ(first->Wait(&hrFirst, &outFirst), S_OK);
    ASSERT_EQ(second->Wait(&hrSecond, &outSecond), S_OK);
    EXPECT_EQ(hrFirst, S_OK);
    EXPECT_EQ(hrSecond, S_OK);
    CComPtr<IUnknown> groupOne, groupTwo;
    groupOne.Attach(outFirst.cpg.pPortalGroupUnk);
    groupTwo.Attach(outSecond.cpg.pPortalGroupUnk);
    CComPtr<IVdsIscsiPortalGroup> group;
    ASSERT_EQ(groupOne->QueryInterface(IID_IVdsIscsiPortalGroup, group.put_void()), S_OK);
    VDS_ISCSI_PORTALGROUP_PROP one{}, two{};
    ASSERT_EQ(group->GetProperties(&one), S_OK);
    CComPtr<IVdsIscsiPortalGroup> groupAgain;
    ASSERT_EQ(groupTwo->QueryInterface(IID_IVdsIscsiPortalGroup, groupAgain.put_void()), S_OK);
    ASSERT_EQ(groupAgain->GetProperties(&two), S_OK);
    EXPECT_EQ(one.id, two.id) << "the existing group is handed back";

    CComPtr<IEnumVdsObject> groupEnum;
    ASSERT_EQ(target->QueryPortalGroups(groupEnum.put()), S_OK);
    EXPECT_EQ(drain(groupEnum).size(), 1u);
    CComPtr<IVdsProviderPrivate> lookUp;
    ASSERT_EQ(m_host->provider()->QueryInterface(IID_IVdsProviderPrivate, lookUp.put_void()), S_OK);
    CComPtr<IUnknown> byId;
    EXPECT_EQ(lookUp->GetObject(one.id, VDS_OT_PORTAL_GROUP, byId.put()), S_OK);

    CComPtr<IVdsIscsiTarget> owner;
    ASSERT_EQ(group->GetTarget(owner.put()), S_OK);
    EXPECT_EQ(implementation<COrvTarget>(owner.get())->GetGuid(),
              implementation<COrvTarget>(target.get())->GetGuid());
    CComPtr<IEnumVdsObject> portalEnum;
    ASSERT_EQ(group->QueryAssociatedPortals(portalEnum.put()), S_OK);
    EXPECT_EQ(drain(portalEnum).size(), allPortals.size());
    EXPECT_EQ(group->AddPortal(GUID_NULL, nullptr), VDS_E_NOT_SUPPORTED);
    EXPECT_EQ(group->RemovePortal(GUID_NULL, nullptr), VDS_E_NOT_SUPPORTED);
    CComPtr<IVdsAsync> deleting;
    EXPECT_EQ(group->Delete(deleting.put()), VDS_E_NOT_SUPPORTED);

    // Every portal lists the group of every target.
    CComPtr<IEnumVdsObject> portalGroups;
    ASSERT_EQ(allPortals[0]->QueryAssociatedPortalGroups(portalGroups.put()), S_OK);
    std::vector<VDS_OBJECT_ID> groupIds;
    for (auto& object : drain(portalGroups)) {
        CComPtr<IVdsIscsiPortalGroup> each;
        ASSERT_EQ(object->QueryInterface(IID_IVdsIscsiPortalGroup, each.put_void()), S_OK);
        VDS_ISCSI_PORTALGROUP_PROP prop{};
        ASSERT_EQ(each->GetProperties(&prop), S_OK);
        groupIds.push_back(prop.id);
    }
    EXPECT_EQ(groupIds.size(), targets(subsystem).size());
    EXPECT_NE(std::find(groupIds.begin(), groupIds.end(), one.id), groupIds.end());
}

TEST_F(TargetAndMaskingTest, APortalChangedOnTheArrayIsSeenAfterItsIndication)
{
    auto subsystem = managedArray("127.90.1.7");
    CComPtr<IVdsIscsiPortal> portal;
    for (auto& candidate : portals(subsystem)) {
        VDS_ISCSI_PORTAL_PROP prop{};
        ASSERT_EQ(candidate->GetProperties(&prop), S_OK);
        if (orv::platform::Utf16ToUtf8(prop.address.wszTextAddress) == "10.10.1.10")
            portal = candidate;
    }
    ASSERT_TRUE(portal);
    const VDS_OBJECT_ID id = implementation<COrvPortal>(portal.get())->GetGuid();

    ASSERT_EQ(m_array->control().changePortal("10.10.1.10", "10.10.1.77", 0), ControlResult::Ok);
    // Nobody asks: the indications alone tell VDS, and reads then show the new address.
    // The array announces the endpoint and its settings separately, so the first
    // notification may come before the address itself has arrived.
    ASSERT_TRUE(eventually([&] { return notificationCount(VDS_NTT_PORTAL, VDS_NF_PORTAL_MODIFY, id) >= 1; }));
    std::string address;
    EXPECT_TRUE(eventually([&] {
        VDS_ISCSI_PORTAL_PROP prop{};
        if (portal->GetProperties(&prop) != S_OK)
            return false;
        address = orv::platform::Utf16ToUtf8(prop.address.wszTextAddress);
        return address == "10.10.1.77";
    })) << address;

    // A VLAN moved on the array is announced the same way.
    const std::size_t before = notificationCount(VDS_NTT_PORTAL, VDS_NF_PORTAL_MODIFY, id);
    ASSERT_EQ(m_array->control().changePortal("10.10.1.77", "10.10.1.77", 42), ControlResult::Ok);
    EXPECT_TRUE(eventually([&] { return notificationCount(VDS_NTT_PORTAL, VDS_NF_PORTAL_MODIFY, id) > before; }));
}

TEST_F(TargetAndMaskingTest, TargetChapSecretsSetTheArraysSecretAndMethods)
{
    auto subsystem = managedArray("127.90.1.8");
    CComPtr<IVdsIscsiTarget> target = targets(subsystem).front();
    VDS_ISCSI_TARGET_PROP prop{};
    ASSERT_EQ(target->GetProperties(&prop), S_OK);
    const std::string iqn = orv::platform::Utf16ToUtf8(prop.pwszIscsiName);
    CoTaskMemFree(prop.pwszIscsiName);
    CoTaskMemFree(prop.pwszFriendlyName);
    auto arrayTarget = [&] {
        return fromArray<Merrow::Sim::SimTarget>([&](const ArrayState& state) {
            for (const auto& [id, volume] : state.volumes) {
                if (volume.target.iqn == iqn)
                    return volume.target;
            }
            return Merrow::Sim::SimTarget{};
        });
    };
    auto secret = [](std::string& text) {
        return VDS_ISCSI_SHARED_SECRET{reinterpret_cast<UCHAR*>(text.data()),
                                       static_cast<ULONG>(text.size())};
    };

    std::string good = "twelve-chars";
    VDS_ISCSI_SHARED_SECRET record = secret(good);
    ASSERT_EQ(target->SetSharedSecret(&record, nullptr), S_OK);
    EXPECT_EQ(arrayTarget().secret, good);
    EXPECT_EQ(arrayTarget().primaryAuthentication, 5);
    EXPECT_EQ(arrayTarget().secondaryAuthentication, 5);
    EXPECT_TRUE(eventually([&] {
        VDS_ISCSI_TARGET_PROP now{};
        target->GetProperties(&now);
        CoTaskMemFree(now.pwszIscsiName);
        CoTaskMemFree(now.pwszFriendlyName);
        return now.bChapEnabled == TRUE;
    }));

    // A length the array refuses leaves the secret and comes back with the array's words.
    std::string tooShort = "short";
    record = secret(tooShort);
    orv::platform::ClearErrorDescription();
    EXPECT_EQ(target->SetSharedSecret(&record, nullptr), E_FAIL);
    EXPECT_THAT(orv::platform::TakeErrorDescription().value_or(""),
                HasSubstr("Secret must be 12-16 chars in length"));
    EXPECT_EQ(arrayTarget().secret, good);

    // An empty secret turns CHAP off.
    std::string none;
    record = secret(none);
    ASSERT_EQ(target->SetSharedSecret(&record, nullptr), S_OK);
    EXPECT_EQ(arrayTarget().primaryAuthentication, 3);
    EXPECT_EQ(arrayTarget().secondaryAuthentication, 3);
    EXPECT_TRUE(arrayTarget().secret.empty());
}

TEST_F(TargetAndMaskingTest, InitiatorSecretsAndSessionsGoThroughTheTargetsInitiators)
{
    auto subsystem = managedArray("127.90.1.9");
    CComPtr<IVdsLun> lun = luns(subsystem).front();
    ASSERT_EQ(setMask(lun, kHost1), S_OK);
    CComPtr<IVdsLunIscsi> lunIscsi;
    ASSERT_EQ(lun->QueryInterface(IID_IVdsLunIscsi, lunIscsi.put_void()), S_OK);
    CComPtr<IEnumVdsObject> enumerator;
    ASSERT_EQ(lunIscsi->QueryAssociatedTargets(enumerator.put()), S_OK);
    CComPtr<IVdsIscsiTarget> target = objectsOf<IVdsIscsiTarget>(enumerator.get(), IID_IVdsIscsiTarget).at(0);
    auto initiatorSecret = [&](const std::string& name) {
        return fromArray<std::string>([&](const ArrayState& state) {
            const auto* initiator = state.findInitiatorByName(name);
            return initiator ? initiator->secret : std::string("<none>");
        });
    };

    std::string text = "initiator-secret";
    VDS_ISCSI_SHARED_SECRET record{reinterpret_cast<UCHAR*>(text.data()), static_cast<ULONG>(text.size())};
    std::u16string host1 = orv::platform::Utf8ToUtf16(kHost1);
    std::u16string host2 = orv::platform::Utf8ToUtf16(kHost2);
    ASSERT_EQ(target->RememberInitiatorSharedSecret(host1.data(), &record), S_OK);
    EXPECT_EQ(initiatorSecret(kHost1), text);
    // An initiator without access to the target is not this target's to configure.
    EXPECT_EQ(target->RememberInitiatorSharedSecret(host2.data(), &record), E_FAIL);
    EXPECT_TRUE(initiatorSecret(kHost2).empty());
    EXPECT_EQ(target->RememberInitiatorSharedSecret(nullptr, &record), E_INVALIDARG);

    std::string volumeName = fromArray<std::string>([&](const ArrayState& state) {
        return state.volumes.at(volumeIdOf(lun)).name;
    });
    std::string session;
    ASSERT_EQ(m_array->control().addSession(kHost1, volumeName, session), ControlResult::Ok);
    ASSERT_TRUE(eventually([&] {
        LPWSTR* names = nullptr;
        LONG count = 0;
        if (target->GetConnectedInitiators(&names, &count) != S_OK)
            return false;
        std::vector<std::string> connected;
        for (LONG i = 0; i < count; ++i) {
            connected.push_back(orv::platform::Utf16ToUtf8(names[i]));
            CoTaskMemFree(names[i]);
        }
        CoTaskMemFree(names);
        return connected == std::vector<std::string>{kHost1};
    }));
}

} // namespace
} // namespace provider_test
