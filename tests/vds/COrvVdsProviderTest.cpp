// The provider loaded through the VDS stand-in, with the managed arrays added, changed and
// removed through its private interface and behind its back in the registry.
#include "ProviderSimFixture.h"

#include "platform/strings/StringTable.h"
#include "vds/framework/CorvaneInfoListWriter.h"
#include "vds/framework/VdsResources.h"

#include <algorithm>
#include <set>

namespace provider_test {
namespace {

using ProviderTest = ProviderSimTest;

TEST_F(ProviderTest, LoadsThroughTheVdsStandInAndDescribesItself)
{
    VDS_PROVIDER_PROP prop{};
    ASSERT_EQ(m_host->provider()->GetProperties(&prop), S_OK);
    EXPECT_EQ(prop.id, ORV_PROVIDER_ID);
    EXPECT_EQ(orv::platform::Utf16ToUtf8(prop.pwszName),
              "OrvVds VDS Provider for the Corvane Array");
    EXPECT_EQ(orv::platform::Utf16ToUtf8(prop.pwszVersion), "2.8.2.2");
    EXPECT_EQ(prop.type, VDS_PT_HARDWARE);
    EXPECT_EQ(prop.ulFlags, 0x40000002u);
    EXPECT_EQ(prop.ulStripeSizeFlags, 0x3F8000u);
    CoTaskMemFree(prop.pwszName);
    CoTaskMemFree(prop.pwszVersion);
    EXPECT_EQ(m_host->provider()->GetProperties(nullptr), E_POINTER);

    CComPtr<IVdsHwProviderType> type;
    ASSERT_EQ(m_host->provider()->QueryInterface(IID_IVdsHwProviderType, type.put_void()), S_OK);
    VDS_HWPROVIDER_TYPE hwType{};
    EXPECT_EQ(type->GetProviderType(&hwType), S_OK);
    EXPECT_EQ(hwType, VDS_HWT_ISCSI);
    EXPECT_EQ(type->GetProviderType(nullptr), E_POINTER);

    CComPtr<IVdsProviderSupport> support;
    ASSERT_EQ(m_host->provider()->QueryInterface(IID_IVdsProviderSupport, support.put_void()),
              S_OK);
    ULONG version = 0;
    EXPECT_EQ(support->GetVersionSupport(&version), S_OK);
    EXPECT_EQ(version, 2u);
    EXPECT_EQ(support->GetVersionSupport(nullptr), E_INVALIDARG);

    // No arrays are managed yet.
    EXPECT_TRUE(subsystems().empty());
    CComPtr<IVdsHwProviderPrivate> hwPrivate;
    ASSERT_EQ(m_host->provider()->QueryInterface(IID_IVdsHwProviderPrivate, hwPrivate.put_void()),
              S_OK);
    VDS_LUN_INFORMATION info{};
    VDS_OBJECT_ID lunId{};
    char16_t path[] = u"\\\\?\\device";
    EXPECT_EQ(hwPrivate->QueryIfCreatedLun(path, &info, &lunId), S_FALSE);
    EXPECT_EQ(hwPrivate->QueryIfCreatedLun(nullptr, &info, &lunId), E_INVALIDARG);
    EXPECT_EQ(m_private->TestVDSVersion(), S_OK);
}

TEST_F(ProviderTest, ThreeArraysBecomeThreeAnnouncedConnectedSubsystems)
{
    const std::vector<std::string> hosts{"127.84.1.1", "127.84.1.2", "127.84.1.3"};
    for (const auto& host : hosts) {
        startArray(host);
        EXPECT_EQ(addArray(host), S_OK);
    }
    auto all = subsystems();
    ASSERT_EQ(all.size(), 3u);
    std::set<std::string> seen;
    for (auto& subsystem : all) {
        const SubsystemView v = view(subsystem);
        seen.insert(v.identification);
        EXPECT_GE(notificationCount(VDS_NTT_SUB_SYSTEM, VDS_NF_SUB_SYSTEM_ARRIVE, v.id), 1u);
        EXPECT_EQ(v.status, VDS_SSS_ONLINE) << v.identification;
        EXPECT_EQ(v.health, VDS_H_HEALTHY);
        // An online array is named by its array name, "@" and its host.
        EXPECT_NE(v.friendlyName.find("@" + v.identification), std::string::npos)
            << v.friendlyName;
        EXPECT_GT(v.friendlyName.size(), v.identification.size() + 1);
        EXPECT_EQ(v.maxControllers, 1);
        EXPECT_EQ(connectionStatus(subsystem), 3u);
    }
    EXPECT_EQ(seen, std::set<std::string>(hosts.begin(), hosts.end()));

    // The list is kept in the registry, passwords included.
    CorvaneInfoList stored;
    ASSERT_EQ(stored.Load(), CorvaneInfoList::kSuccess);
    EXPECT_EQ(stored.Size(), 3u);
    CorvaneInfo entry;
    ASSERT_TRUE(stored.Find(u"127.84.1.2", entry));
    EXPECT_EQ(entry.userName, u"admin");
    EXPECT_EQ(entry.password, u"secret");

    // The configuration client sees each with the status text index of "Connected".
    for (LONG index = 0; index < 3; ++index) {
        TestBstr host, user, password;
        LONG status = -1;
        BOOL valid = FALSE;
        ASSERT_EQ(m_private->GetCorvaneInfo(index, host.put(), user.put(), password.put(), &status,
                                            &valid),
                  S_OK);
        EXPECT_TRUE(valid);
        EXPECT_EQ(status, 3) << host.text();
    }
    TestBstr host, user, password;
    LONG status = -1;
    BOOL valid = TRUE;
    EXPECT_EQ(m_private->GetCorvaneInfo(3, host.put(), user.put(), password.put(), &status, &valid),
              S_OK);
    EXPECT_FALSE(valid);
}

TEST_F(ProviderTest, WrongPasswordShowsAuthorizationFailed)
{
    startArray("127.84.2.1");
    EXPECT_EQ(addArray("127.84.2.1", kSimUser, "not-the-password"), S_OK);
    auto subsystem = subsystemFor("127.84.2.1");
    ASSERT_TRUE(subsystem);
    const ULONG status = connectionStatus(subsystem);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(VdsResources::programString(2110 + 10 * status), u"Authorization Failed");
    const SubsystemView v = view(subsystem);
    EXPECT_EQ(v.status, VDS_SSS_FAILED);
    EXPECT_EQ(v.health, VDS_H_UNKNOWN);
    EXPECT_EQ(v.friendlyName, "127.84.2.1");
    EXPECT_EQ(v.maxControllers, 0);

    // Correcting the password logs in again, without a second subsystem.
    EXPECT_EQ(addArray("127.84.2.1"), S_OK);
    ASSERT_EQ(subsystems().size(), 1u);
    EXPECT_EQ(connectionStatus(subsystemFor("127.84.2.1")), 3u);
}

TEST_F(ProviderTest, ArrayRemovedFromTheRegistryDepartsAtTheNextReconciliation)
{
    startArray("127.84.3.1");
    startArray("127.84.3.2");
    ASSERT_EQ(addArray("127.84.3.1"), S_OK);
    ASSERT_EQ(addArray("127.84.3.2"), S_OK);
    auto leaving = subsystemFor("127.84.3.2");
    ASSERT_TRUE(leaving);
    const VDS_OBJECT_ID leavingId = view(leaving).id;
    leaving.Release();

    // Another process edits the registry.
    CorvaneInfoListWriter other;
    ASSERT_EQ(other.Load(), CorvaneInfoList::kSuccess);
    ASSERT_TRUE(other.Remove(u"127.84.3.2"));
    ASSERT_EQ(other.Save(), CorvaneInfoList::kSuccess);

    EXPECT_TRUE(eventually([&] {
        return notificationCount(VDS_NTT_SUB_SYSTEM, VDS_NF_SUB_SYSTEM_DEPART, leavingId) > 0;
    }));
    auto left = subsystems();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(view(left.front()).identification, "127.84.3.1");
    CComPtr<IUnknown> gone;
    CComPtr<IVdsProviderPrivate> lookup;
    ASSERT_EQ(m_host->provider()->QueryInterface(IID_IVdsProviderPrivate, lookup.put_void()), S_OK);
    EXPECT_EQ(lookup->GetObject(leavingId, VDS_OT_SUB_SYSTEM, gone.put()), VDS_E_OBJECT_NOT_FOUND);
}

TEST_F(ProviderTest, RemoveCorvaneInfoDepartsTheSubsystemAndForgetsTheArray)
{
    startArray("127.84.4.1");
    ASSERT_EQ(addArray("127.84.4.1"), S_OK);
    const VDS_OBJECT_ID id = view(subsystemFor("127.84.4.1")).id;

    // A host that no subsystem carries changes nothing.
    TestBstr unknown("127.84.4.200");
    EXPECT_EQ(m_private->RemoveCorvaneInfo(unknown.get()), S_OK);
    EXPECT_EQ(subsystems().size(), 1u);

    TestBstr host("127.84.4.1");
    EXPECT_EQ(m_private->RemoveCorvaneInfo(host.get()), S_OK);
    EXPECT_TRUE(subsystems().empty());
    EXPECT_GE(notificationCount(VDS_NTT_SUB_SYSTEM, VDS_NF_SUB_SYSTEM_DEPART, id), 1u);
    CorvaneInfoList stored;
    ASSERT_EQ(stored.Load(), CorvaneInfoList::kSuccess);
    EXPECT_EQ(stored.Size(), 0u);

    // A null host is no array at all.
    EXPECT_EQ(m_private->SetCorvaneInfo(nullptr, nullptr, nullptr), S_OK);
    ASSERT_EQ(stored.Load(), CorvaneInfoList::kSuccess);
    EXPECT_EQ(stored.Size(), 0u);
}

// The registry compares key names without case, so of two such hosts only one survives a
// reload of the list; the provider itself keeps them apart until then.
class ProviderWithoutReconciliationTest : public ProviderSimTest {
protected:
    ProviderWithoutReconciliationTest() { m_reconcilePeriod = std::chrono::hours(1); }
};

TEST_F(ProviderWithoutReconciliationTest, HostNamesDifferingOnlyInCaseAreTwoArrays)
{
    // Neither name resolves; what matters is that each gets a subsystem of its own.
    ASSERT_EQ(addArray("corvane-a.invalid"), S_OK);
    ASSERT_EQ(addArray("CORVANE-A.invalid"), S_OK);
    EXPECT_EQ(subsystems().size(), 2u);
    EXPECT_TRUE(subsystemFor("corvane-a.invalid"));
    EXPECT_TRUE(subsystemFor("CORVANE-A.invalid"));
    // Setting one again updates that one only.
    ASSERT_EQ(addArray("CORVANE-A.invalid", "other", "pw"), S_OK);
    EXPECT_EQ(subsystems().size(), 2u);
    for (auto& subsystem : subsystems()) {
        EXPECT_NE(connectionStatus(subsystem), 3u);
        EXPECT_EQ(view(subsystem).status, VDS_SSS_FAILED);
    }
    // Removing one leaves the other.
    TestBstr upper("CORVANE-A.invalid");
    EXPECT_EQ(m_private->RemoveCorvaneInfo(upper.get()), S_OK);
    ASSERT_EQ(subsystems().size(), 1u);
    EXPECT_TRUE(subsystemFor("corvane-a.invalid"));
}

TEST_F(ProviderTest, DroppedArrayGoesToLostConnectionAndComesBackByItself)
{
    SimArray& array = startArray("127.84.5.1");
    ASSERT_EQ(addArray("127.84.5.1"), S_OK);
    auto subsystem = subsystemFor("127.84.5.1");
    ASSERT_TRUE(subsystem);
    ASSERT_EQ(connectionStatus(subsystem), 3u);

    // The array stops answering: the keep-alive probe finds the link lost.
    array.control().dropNextRequests(1000000);
    ASSERT_TRUE(eventually([&] { return connectionStatus(subsystem) == 4u; }));
    EXPECT_EQ(view(subsystem).status, VDS_SSS_OFFLINE);
    EXPECT_EQ(VdsResources::programString(2150), u"Lost Connection");

    // It answers again; the reconciliation reconnects without anyone asking.
    array.control().dropNextRequests(0);
    EXPECT_TRUE(eventually([&] { return connectionStatus(subsystem) == 3u; }));
    EXPECT_EQ(view(subsystem).status, VDS_SSS_ONLINE);
    EXPECT_EQ(subsystems().size(), 1u);
}

TEST_F(ProviderTest, ArraysInTheRegistryAtLoadAreConnectedByOnLoad)
{
    startArray("127.84.6.1");
    startArray("127.84.6.2");
    ASSERT_EQ(addArray("127.84.6.1"), S_OK);
    ASSERT_EQ(addArray("127.84.6.2"), S_OK);
    unloadProvider();

    // A second load finds both in the registry and connects them before OnLoad returns.
    m_host = std::make_unique<orv::platform::VdsProviderHost>();
    ASSERT_EQ(m_host->load(CLSID_OrvVdsProvider), S_OK);
    ASSERT_EQ(m_host->provider()->QueryInterface(IID_IVdsHwProvider, m_hw.put_void()), S_OK);
    auto all = subsystems();
    ASSERT_EQ(all.size(), 2u);
    for (auto& subsystem : all) {
        const SubsystemView v = view(subsystem);
        EXPECT_EQ(v.status, VDS_SSS_ONLINE) << v.identification;
        EXPECT_GE(notificationCount(VDS_NTT_SUB_SYSTEM, VDS_NF_SUB_SYSTEM_ARRIVE, v.id), 1u);
    }
}

} // namespace
} // namespace provider_test
