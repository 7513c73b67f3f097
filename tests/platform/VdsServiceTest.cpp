#include "platform/com/ComClassRegistry.h"
#include "platform/com/CComPtr.h"
#include "platform/com/TaskMemory.h"
#include "platform/registry/RegistryKey.h"
#include "platform/vds/Vds.h"
#include "platform/vds/VdsProviderHost.h"
#include "platform/vds/VdsService.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <thread>

namespace orv::platform {
namespace {

constexpr GUID kProviderId = {0x6A1E0001, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x01}};
constexpr CLSID kProviderClass = {0x6A1E0002, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x02}};
constexpr GUID kVersionId = {0x6A1E0003, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x03}};

// Each test gets a registry of its own as the process registry.
class VdsServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::shared_ptr<Registry> registry;
        ASSERT_EQ(Registry::open(m_directory.path() / "registry.db", registry), ERROR_SUCCESS);
        Registry::setProcessRegistry(registry);
        VdsService::setVersionText(u"1.1");
        ASSERT_EQ(CoCreateInstance(CLSID_VdsService, nullptr, CLSCTX_ALL, IID_IVdsAdmin,
                                   m_admin.put_void()),
                  S_OK);
    }
    void TearDown() override { Registry::setProcessRegistry(nullptr); }

    HRESULT registerProvider(const VDS_OBJECT_ID& id, const char16_t* name,
                             const char16_t* machine = nullptr)
    {
        std::u16string nameText(name);
        std::u16string version(u"2.8.2.2");
        std::u16string machineText(machine == nullptr ? u"" : machine);
        return m_admin->RegisterProvider(id, kProviderClass, nameText.data(), VDS_PT_HARDWARE,
                                         machine == nullptr ? nullptr : machineText.data(),
                                         version.data(), kVersionId);
    }

    static RegistryKey providerKey(const VDS_OBJECT_ID& id)
    {
        RegistryKey key;
        key.open(RegistryKey::root(HKEY_LOCAL_MACHINE),
                 std::u16string(VdsService::kProvidersKey) + u"\\" + GuidToWString(id));
        return key;
    }

    test::TempDirectory m_directory;
    CComPtr<IVdsAdmin> m_admin;
};

TEST_F(VdsServiceTest, PropertiesReportTheConfiguredVersion)
{
    CComPtr<IVdsService> service;
    ASSERT_EQ(m_admin.QueryInterface(service.put()), S_OK);
    for (const char16_t* version : {u"1.1", u"1.0", u"2.0"}) {
        VdsService::setVersionText(version);
        VDS_SERVICE_PROP prop{};
        ASSERT_EQ(service->GetProperties(&prop), S_OK);
        EXPECT_EQ(std::u16string(prop.pwszVersion), version);
        CoTaskMemFree(prop.pwszVersion);
    }
    EXPECT_EQ(service->GetProperties(nullptr), E_POINTER);
}

TEST_F(VdsServiceTest, RegistrationIsRecordedUnderTheProviderId)
{
    ASSERT_EQ(registerProvider(kProviderId, u"%s VDS Provider for the %s"), S_OK);

    RegistryKey key = providerKey(kProviderId);
    ASSERT_TRUE(key.isOpen());
    std::u16string text;
    DWORD type = 0;
    EXPECT_EQ(key.queryString(u"Name", text), ERROR_SUCCESS);
    EXPECT_EQ(text, u"%s VDS Provider for the %s");
    EXPECT_EQ(key.queryString(u"CLSID", text), ERROR_SUCCESS);
    EXPECT_EQ(text, GuidToWString(kProviderClass));
    EXPECT_EQ(key.queryDword(u"Type", type), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(VDS_PT_HARDWARE));
    EXPECT_EQ(key.queryString(u"Version", text), ERROR_SUCCESS);
    EXPECT_EQ(text, u"2.8.2.2");
    EXPECT_EQ(key.queryString(u"MachineName", text), ERROR_FILE_NOT_FOUND);

    VdsProviderRegistration found;
    ASSERT_EQ(VdsService::findProvider(kProviderId, found), S_OK);
    EXPECT_EQ(found.clsid, kProviderClass);
    EXPECT_EQ(found.versionId, kVersionId);
    EXPECT_EQ(found.type, VDS_PT_HARDWARE);
}

TEST_F(VdsServiceTest, RegisteringAgainReplacesTheWholeRegistration)
{
    ASSERT_EQ(registerProvider(kProviderId, u"first", u"host-a"), S_OK);
    ASSERT_EQ(registerProvider(kProviderId, u"second"), S_OK);
    VdsProviderRegistration found;
    ASSERT_EQ(VdsService::findProvider(kProviderId, found), S_OK);
    EXPECT_EQ(found.name, u"second");
    EXPECT_TRUE(found.machineName.empty());
}

TEST_F(VdsServiceTest, UnregisterRemovesOnlyThatProvider)
{
    GUID other;
    ASSERT_EQ(CoCreateGuid(&other), S_OK);
    ASSERT_EQ(registerProvider(kProviderId, u"ours"), S_OK);
    ASSERT_EQ(registerProvider(other, u"someone else's"), S_OK);

    EXPECT_EQ(m_admin->UnregisterProvider(kProviderId), S_OK);
    EXPECT_FALSE(providerKey(kProviderId).isOpen());
    EXPECT_TRUE(providerKey(other).isOpen());
    VdsProviderRegistration found;
    EXPECT_EQ(VdsService::findProvider(kProviderId, found), VDS_E_OBJECT_NOT_FOUND);
    EXPECT_EQ(m_admin->UnregisterProvider(kProviderId), VDS_E_OBJECT_NOT_FOUND);
}

TEST_F(VdsServiceTest, UnregisterWithNothingRegisteredFindsNothing)
{
    EXPECT_EQ(m_admin->UnregisterProvider(kProviderId), VDS_E_OBJECT_NOT_FOUND);
}

TEST_F(VdsServiceTest, InvalidRegistrationsAreRefusedAndRecordNothing)
{
    std::u16string name(u"name");
    std::u16string empty;
    std::u16string version(u"1");
    struct Case {
        const char* description;
        GUID id;
        CLSID clsid;
        LPWSTR name;
        VDS_PROVIDER_TYPE type;
        LPWSTR version;
    };
    const Case cases[] = {
        {"null id", GUID_NULL, kProviderClass, name.data(), VDS_PT_HARDWARE, version.data()},
        {"null class", kProviderId, GUID_NULL, name.data(), VDS_PT_HARDWARE, version.data()},
        {"no name", kProviderId, kProviderClass, nullptr, VDS_PT_HARDWARE, version.data()},
        {"empty name", kProviderId, kProviderClass, empty.data(), VDS_PT_HARDWARE, version.data()},
        {"no version", kProviderId, kProviderClass, name.data(), VDS_PT_HARDWARE, nullptr},
        {"unknown type", kProviderId, kProviderClass, name.data(), VDS_PT_UNKNOWN, version.data()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(m_admin->RegisterProvider(c.id, c.clsid, c.name, c.type, nullptr, c.version,
                                            kVersionId),
                  E_INVALIDARG)
            << c.description;
    }
    VdsProviderRegistration found;
    EXPECT_EQ(VdsService::findProvider(kProviderId, found), VDS_E_OBJECT_NOT_FOUND);
}

TEST_F(VdsServiceTest, RegistrationWithoutAStoreReportsTheRegistryError)
{
    Registry::setProcessRegistry(nullptr);
    ::setenv("ORVDS_REGISTRY", "/proc/no-such-place/registry.db", 1);
    EXPECT_EQ(registerProvider(kProviderId, u"name"), HRESULT_FROM_WIN32(ERROR_CANTOPEN));
    ::unsetenv("ORVDS_REGISTRY");
}

TEST(ComClassRegistry, UnknownClassesAndAggregationAreRefused)
{
    constexpr CLSID unknown = {0x6A1E00FF, 0, 0, {}};
    void* out = &out;
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_ALL, IID_IUnknown, &out), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(out, nullptr);
    CComPtr<IUnknown> outer;
    ASSERT_EQ(CoCreateInstance(CLSID_VdsService, nullptr, CLSCTX_ALL, IID_IUnknown, outer.put_void()),
              S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_VdsService, outer, CLSCTX_ALL, IID_IUnknown, &out),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(CLSID_VdsService, nullptr, CLSCTX_ALL, IID_IVdsLun, &out),
              E_NOINTERFACE);
}

TEST(ComClassRegistry, AClassRegistersOnce)
{
    auto& classes = ComClassRegistry::instance();
    constexpr CLSID clsid = {0x6A1E00FE, 0, 0, {}};
    EXPECT_EQ(classes.registerClass(clsid, CreateComInstance<RecordingAdviseSink>), S_OK);
    EXPECT_EQ(classes.registerClass(clsid, CreateComInstance<RecordingAdviseSink>), CO_E_OBJISREG);
    EXPECT_TRUE(classes.isRegistered(clsid));
    EXPECT_EQ(classes.unregisterClass(clsid), S_OK);
    EXPECT_EQ(classes.unregisterClass(clsid), S_FALSE);
    EXPECT_EQ(classes.registerClass(clsid, nullptr), E_INVALIDARG);
}

// ---- hosting a provider ----------------------------------------------------------------

struct ProviderLog {
    int loads = 0;
    int unloads = 0;
    int destroyed = 0;
    HRESULT loadResult = S_OK;
};
ProviderLog g_providerLog;

// A provider that keeps the sink from OnLoad and can send notifications through it.
class FakeProvider : public CComObjectRootEx, public IVdsProvider, public IVdsProviderPrivate {
public:
    using ComMap = ComInterfaceMap<IVdsProvider, IVdsProviderPrivate>;
    ~FakeProvider() { ++g_providerLog.destroyed; }

    HRESULT GetProperties(VDS_PROVIDER_PROP*) override { return E_NOTIMPL; }
    HRESULT GetObject(VDS_OBJECT_ID, VDS_OBJECT_TYPE, IUnknown**) override { return E_NOTIMPL; }
    HRESULT OnLoad(LPWSTR, IUnknown* pCallbackObject) override
    {
        ++g_providerLog.loads;
        if (pCallbackObject != nullptr)
            pCallbackObject->QueryInterface(IID_IVdsAdviseSink, m_sink.put_void());
        return g_providerLog.loadResult;
    }
    HRESULT OnUnload(BOOL) override
    {
        ++g_providerLog.unloads;
        m_sink.Release();
        return S_OK;
    }

    void announce(ULONG event, const GUID& subsystem)
    {
        VDS_NOTIFICATION record{};
        record.objectType = VDS_NTT_SUB_SYSTEM;
        record.SubSystem.ulEvent = event;
        record.SubSystem.subSystemId = subsystem;
        m_sink->OnNotify(1, &record);
    }

private:
    CComPtr<IVdsAdviseSink> m_sink;
};

class VdsProviderHostTest : public VdsServiceTest {
protected:
    void SetUp() override
    {
        VdsServiceTest::SetUp();
        g_providerLog = ProviderLog{};
        ComClassRegistry::instance().registerClass(kProviderClass, CreateComInstance<FakeProvider>);
    }
    void TearDown() override
    {
        ComClassRegistry::instance().unregisterClass(kProviderClass);
        VdsServiceTest::TearDown();
    }

    static FakeProvider* implementation(IVdsProvider* provider)
    {
        FakeProvider* object = nullptr;
        provider->QueryInterface(GUID_NULL, reinterpret_cast<void**>(&object));
        return object;
    }
};

TEST_F(VdsProviderHostTest, LoadedProviderNotificationsAreRecordedInOrder)
{
    VdsProviderHost host;
    ASSERT_EQ(host.load(kProviderClass), S_OK);
    EXPECT_EQ(g_providerLog.loads, 1);
    FakeProvider* provider = implementation(host.provider());
    ASSERT_NE(provider, nullptr);

    GUID first;
    GUID second;
    CoCreateGuid(&first);
    CoCreateGuid(&second);
    provider->announce(VDS_NF_SUB_SYSTEM_ARRIVE, first);
    std::thread([&] { provider->announce(VDS_NF_SUB_SYSTEM_DEPART, second); }).join();

    ASSERT_TRUE(host.notifications().waitForNotifications(2, std::chrono::seconds(5)));
    const std::vector<VDS_NOTIFICATION> records = host.notifications().notifications();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].objectType, VDS_NTT_SUB_SYSTEM);
    EXPECT_EQ(records[0].SubSystem.ulEvent, VDS_NF_SUB_SYSTEM_ARRIVE);
    EXPECT_EQ(records[0].SubSystem.subSystemId, first);
    EXPECT_EQ(records[1].SubSystem.ulEvent, VDS_NF_SUB_SYSTEM_DEPART);
    EXPECT_EQ(records[1].SubSystem.subSystemId, second);
    EXPECT_EQ(host.notifications().onNotifyCalls(), 2u);

    EXPECT_EQ(host.load(kProviderClass), E_UNEXPECTED);
    EXPECT_EQ(host.unload(), S_OK);
    EXPECT_EQ(g_providerLog.unloads, 1);
    EXPECT_EQ(g_providerLog.destroyed, 1);
    EXPECT_EQ(host.provider(), nullptr);
    EXPECT_EQ(host.unload(), S_FALSE);
}

TEST_F(VdsProviderHostTest, FailedOnLoadLeavesNothingLoaded)
{
    g_providerLog.loadResult = E_FAIL;
    VdsProviderHost host;
    EXPECT_EQ(host.load(kProviderClass), E_FAIL);
    EXPECT_EQ(host.provider(), nullptr);
    EXPECT_EQ(g_providerLog.destroyed, 1);
    EXPECT_EQ(host.load(GUID_NULL), REGDB_E_CLASSNOTREG);
}

TEST_F(VdsProviderHostTest, RegisteredProviderLoadsByItsId)
{
    VdsProviderHost host;
    EXPECT_EQ(host.loadRegistered(kProviderId), VDS_E_OBJECT_NOT_FOUND);
    ASSERT_EQ(registerProvider(kProviderId, u"name"), S_OK);
    EXPECT_EQ(host.loadRegistered(kProviderId), S_OK);
    EXPECT_NE(host.provider(), nullptr);
}

TEST_F(VdsProviderHostTest, DestroyingTheHostUnloadsTheProvider)
{
    {
        VdsProviderHost host;
        ASSERT_EQ(host.load(kProviderClass), S_OK);
    }
    EXPECT_EQ(g_providerLog.unloads, 1);
    EXPECT_EQ(g_providerLog.destroyed, 1);
}

TEST(RecordingAdviseSink, RefusesInconsistentArguments)
{
    CComObject<RecordingAdviseSink>* sink = nullptr;
    ASSERT_EQ(CComObject<RecordingAdviseSink>::CreateInstance(&sink), S_OK);
    CComPtr<IVdsAdviseSink> holder(sink);
    VDS_NOTIFICATION record{};
    EXPECT_EQ(sink->OnNotify(-1, &record), E_INVALIDARG);
    EXPECT_EQ(sink->OnNotify(1, nullptr), E_POINTER);
    EXPECT_EQ(sink->OnNotify(0, nullptr), S_OK);
    EXPECT_TRUE(sink->notifications().empty());
    EXPECT_FALSE(sink->waitForNotifications(1, std::chrono::milliseconds(1)));
}

// The server's sink lives as long as the service: it keeps a bounded tail and forwards
// everything, including what no longer fits.
TEST(RecordingAdviseSink, KeepsOnlyTheNewestRecordsAndForwardsAll)
{
    CComObject<RecordingAdviseSink>* sink = nullptr;
    ASSERT_EQ(CComObject<RecordingAdviseSink>::CreateInstance(&sink), S_OK);
    CComPtr<IVdsAdviseSink> holder(sink);
    EXPECT_EQ(sink->capacity(), RecordingAdviseSink::kDefaultCapacity);

    std::vector<ULONG> forwarded;
    sink->setForwarder([&](const VDS_NOTIFICATION* records, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            forwarded.push_back(records[i].SubSystem.ulEvent);
    });
    // A whole ring and more, one by one and in one batch larger than the ring.
    const std::size_t total = RecordingAdviseSink::kDefaultCapacity + 10;
    for (std::size_t i = 0; i < total; ++i) {
        VDS_NOTIFICATION record{};
        record.SubSystem.ulEvent = static_cast<ULONG>(i);
        ASSERT_EQ(sink->OnNotify(1, &record), S_OK);
    }
    std::vector<VDS_NOTIFICATION> kept = sink->notifications();
    ASSERT_EQ(kept.size(), RecordingAdviseSink::kDefaultCapacity);
    EXPECT_EQ(kept.front().SubSystem.ulEvent, 10u);
    EXPECT_EQ(kept.back().SubSystem.ulEvent, total - 1);
    EXPECT_EQ(sink->receivedCount(), total);
    EXPECT_TRUE(sink->waitForNotifications(total, std::chrono::milliseconds(0)));
    ASSERT_EQ(forwarded.size(), total);
    EXPECT_EQ(forwarded[0], 0u);
    EXPECT_EQ(forwarded[total - 1], total - 1);

    sink->setCapacity(3);
    std::vector<VDS_NOTIFICATION> batch(5);
    for (std::size_t i = 0; i < batch.size(); ++i)
        batch[i].SubSystem.ulEvent = static_cast<ULONG>(100 + i);
    ASSERT_EQ(sink->OnNotify(static_cast<LONG>(batch.size()), batch.data()), S_OK);
    kept = sink->notifications();
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].SubSystem.ulEvent, 102u);
    EXPECT_EQ(kept[2].SubSystem.ulEvent, 104u);
    EXPECT_EQ(forwarded.size(), total + batch.size());

    sink->setForwarder(nullptr);
    ASSERT_EQ(sink->OnNotify(1, batch.data()), S_OK);
    EXPECT_EQ(forwarded.size(), total + batch.size());
}

}  // namespace
}  // namespace orv::platform
