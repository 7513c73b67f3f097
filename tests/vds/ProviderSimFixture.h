// The set-up of the provider tests against embedded simulated arrays: a scratch registry,
// the provider loaded through the VDS stand-in with short periods (reconciliation, keep-
// alive, dispatch), and helpers to reach its subsystems and the notifications VDS got.
// Each test names its own simulated arrays on 127.84.x.y, so tests can run side by side.
#pragma once

#include "vds/framework/COrvVdsModule.h"
#include "ScratchRegistry.h"
#include "SimArray.h"

#include "platform/com/Bstr.h"
#include "platform/com/CComPtr.h"
#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "platform/vds/VdsProviderHost.h"
#include "vds/framework/OrvVdsIds.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/objects/COrvVdsProvider.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace provider_test {

using Merrow::UserAgent::Testing::kSimPassword;
using Merrow::UserAgent::Testing::kSimUser;
using Merrow::UserAgent::Testing::SimArray;

// Polls `condition` until it holds or a generous bound passes; no timing is asserted.
inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds bound = std::chrono::seconds(30))
{
    const auto end = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

// A BSTR argument owned by the test.
class TestBstr {
public:
    explicit TestBstr(const std::string& text)
        : m_bstr(SysAllocString(orv::platform::Utf8ToUtf16(text)))
    {
    }
    TestBstr() = default;
    ~TestBstr() { SysFreeString(m_bstr); }
    TestBstr(const TestBstr&) = delete;
    TestBstr& operator=(const TestBstr&) = delete;
    BSTR get() const { return m_bstr; }
    BSTR* put() { return &m_bstr; }
    std::string text() const { return orv::platform::Utf16ToUtf8(BstrView(m_bstr)); }

private:
    BSTR m_bstr = nullptr;
};

// What GetProperties of a subsystem reported, its strings copied out.
struct SubsystemView {
    VDS_OBJECT_ID id{};
    std::string friendlyName;
    std::string identification;
    VDS_SUB_SYSTEM_STATUS status = VDS_SSS_UNKNOWN;
    VDS_HEALTH health = VDS_H_UNKNOWN;
    SHORT maxControllers = 0;
};

class ProviderSimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        COrvVdsProvider::Periods periods;
        periods.reconcile = m_reconcilePeriod;
        periods.arrayRequestTimeout = m_arrayRequestTimeout;
        periods.logInRequestTimeout = m_logInRequestTimeout;
        periods.userAgent.keepAliveIdle = std::chrono::milliseconds(200);
        periods.userAgent.keepAlivePoll = std::chrono::milliseconds(50);
        periods.userAgent.dispatcherWait = std::chrono::milliseconds(50);
        COrvVdsProvider::SetPeriods(periods);
        COrvVdsProvider::RegisterClassObject();
        m_host = std::make_unique<orv::platform::VdsProviderHost>();
        ASSERT_EQ(m_host->load(CLSID_OrvVdsProvider), S_OK);
        ASSERT_EQ(m_host->provider()->QueryInterface(IID_IOrvVdsProviderPrivate,
                                                     m_private.put_void()),
                  S_OK);
        ASSERT_EQ(m_host->provider()->QueryInterface(IID_IVdsHwProvider, m_hw.put_void()), S_OK);
    }

    void TearDown() override
    {
        unloadProvider();
        m_arrays.clear();
    }

    void unloadProvider()
    {
        m_private.Release();
        m_hw.Release();
        m_host.reset();
        // The provider may end on its own background thread after the host let go; a
        // new one must not start while it still holds its arrays.
        EXPECT_TRUE(COrvVdsModule::instance().WaitForProviderObjects(std::chrono::seconds(30)));
    }

    SimArray& startArray(const std::string& address)
    {
        m_arrays.push_back(std::make_unique<SimArray>(address));
        return *m_arrays.back();
    }

    // Starts the array at `address`, manages it and answers its subsystem.
    CComPtr<IVdsSubSystem> managedArray(const std::string& address)
    {
        m_array = &startArray(address);
        EXPECT_EQ(addArray(address), S_OK);
        auto subsystem = subsystemFor(address);
        EXPECT_TRUE(subsystem);
        return subsystem;
    }

    HRESULT addArray(const std::string& host, const std::string& user = kSimUser,
                     const std::string& password = kSimPassword)
    {
        TestBstr h(host), u(user), p(password);
        return m_private->SetCorvaneInfo(h.get(), u.get(), p.get());
    }

    std::vector<CComPtr<IUnknown>> drain(IEnumVdsObject* enumerator)
    {
        std::vector<CComPtr<IUnknown>> objects;
        for (;;) {
            IUnknown* next = nullptr;
            ULONG fetched = 0;
            if (enumerator->Next(1, &next, &fetched) != S_OK || fetched != 1)
                break;
            CComPtr<IUnknown> held;
            held.Attach(next);
            objects.push_back(held);
        }
        return objects;
    }

    std::vector<CComPtr<IVdsSubSystem>> subsystems()
    {
        std::vector<CComPtr<IVdsSubSystem>> out;
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ(m_hw->QuerySubSystems(enumerator.put()), S_OK);
        if (!enumerator)
            return out;
        for (auto& object : drain(enumerator)) {
            CComPtr<IVdsSubSystem> subsystem;
            EXPECT_EQ(object->QueryInterface(IID_IVdsSubSystem, subsystem.put_void()), S_OK);
            out.push_back(subsystem);
        }
        return out;
    }

    static SubsystemView view(IVdsSubSystem* subsystem)
    {
        VDS_SUB_SYSTEM_PROP prop{};
        SubsystemView out;
        EXPECT_EQ(subsystem->GetProperties(&prop), S_OK);
        out.id = prop.id;
        out.friendlyName = orv::platform::Utf16ToUtf8(prop.pwszFriendlyName);
        out.identification = orv::platform::Utf16ToUtf8(prop.pwszIdentification);
        out.status = prop.status;
        out.health = prop.health;
        out.maxControllers = prop.sMaxNumberOfControllers;
        CoTaskMemFree(prop.pwszFriendlyName);
        CoTaskMemFree(prop.pwszIdentification);
        return out;
    }

    // The subsystem whose identification is `host`; empty when there is none.
    CComPtr<IVdsSubSystem> subsystemFor(const std::string& host)
    {
        for (auto& subsystem : subsystems()) {
            if (view(subsystem).identification == host)
                return subsystem;
        }
        return {};
    }

    static ULONG connectionStatus(IVdsSubSystem* subsystem)
    {
        CComPtr<IOrvSubsystemPrivate> privateItf;
        EXPECT_EQ(subsystem->QueryInterface(IID_IOrvSubsystemPrivate, privateItf.put_void()),
                  S_OK);
        ULONG status = 99;
        // The status is set even when refreshing the properties behind it fails.
        privateItf->GetConnectionStatus(&status);
        return status;
    }

    std::size_t notificationCount(VDS_NOTIFICATION_TARGET_TYPE type, ULONG event,
                                  const VDS_OBJECT_ID& id) const
    {
        std::size_t count = 0;
        for (const VDS_NOTIFICATION& record : m_host->notifications().notifications()) {
            if (record.objectType == type && record.SubSystem.ulEvent == event &&
                record.SubSystem.subSystemId == id)
                ++count;
        }
        return count;
    }

    std::vector<VDS_OBJECT_ID> notifiedIds(VDS_NOTIFICATION_TARGET_TYPE type, ULONG event) const
    {
        std::vector<VDS_OBJECT_ID> ids;
        for (const VDS_NOTIFICATION& record : m_host->notifications().notifications()) {
            if (record.objectType == type && record.SubSystem.ulEvent == event)
                ids.push_back(record.SubSystem.subSystemId);
        }
        return ids;
    }

    // The ids of the objects an enumeration yields; GUID_NULL answers the object itself.
    template <class Object> std::vector<VDS_OBJECT_ID> idsOf(IEnumVdsObject* enumerator)
    {
        std::vector<VDS_OBJECT_ID> ids;
        if (enumerator == nullptr)
            return ids;
        for (auto& object : drain(enumerator)) {
            void* self = nullptr;
            EXPECT_EQ(object->QueryInterface(GUID_NULL, &self), S_OK);
            ids.push_back(static_cast<Object*>(self)->GetGuid());
        }
        return ids;
    }

    // Its lock keeps the provider's background thread from handing over the array's
    // indications.
    COrvVdsProvider* providerObject()
    {
        COrvVdsProvider* provider = nullptr;
        EXPECT_EQ(
            m_host->provider()->QueryInterface(GUID_NULL, reinterpret_cast<void**>(&provider)),
            S_OK);
        return provider;
    }

    // The ids of the LUNs QueryLuns answers now.
    std::vector<VDS_OBJECT_ID> lunIds(IVdsSubSystem* subsystem)
    {
        CComPtr<IEnumVdsObject> enumerator;
        EXPECT_EQ(subsystem->QueryLuns(enumerator.put()), S_OK);
        return idsOf<COrvLun>(enumerator);
    }

    // Tests that must not see a reconciliation set a long one before SetUp.
    std::chrono::milliseconds m_reconcilePeriod{300};
    // The product's unless a test sets another before SetUp.
    std::chrono::milliseconds m_arrayRequestTimeout = COrvVdsProvider::Periods{}.arrayRequestTimeout;
    std::chrono::milliseconds m_logInRequestTimeout = COrvVdsProvider::Periods{}.logInRequestTimeout;
    ScratchRoot m_scratchRoot;
    ScratchRegistry m_registry;
    std::vector<std::unique_ptr<SimArray>> m_arrays;
    // The array that managedArray started last.
    SimArray* m_array = nullptr;
    std::unique_ptr<orv::platform::VdsProviderHost> m_host;
    CComPtr<IOrvVdsProviderPrivate> m_private;
    CComPtr<IVdsHwProvider> m_hw;
};

} // namespace provider_test
