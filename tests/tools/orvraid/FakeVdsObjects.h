// A small provider for orvraid's tests: it implements the VDS interfaces that orvraid
// calls (IVdsProvider, IVdsProviderPrivate, IVdsHwProvider and the private
// IOrvVdsProviderPrivate), keeps its managed arrays in memory and presents each as a
// subsystem with fixed controllers, drives, LUNs, a target and a portal. It is not the
// product's provider; it exists so the front end can be tested on its own.
//
// Host names steer it, so that a script run by the test host program can ask for
// failures: an array whose host contains
//   "noauth"   is presented as a failed subsystem whose log-in was refused (status 2);
//   "badluns"  fails QueryLuns with VDS_E_PROVIDER_FAILURE;
//   "sticky"   stays listed after RemoveCorvaneInfo (which still answers S_OK);
// and SetCorvaneInfo refuses a host that starts with "reject" with E_INVALIDARG.
#pragma once

#include "../../vds/NullVdsInterfaces.h"

#include "platform/com/CComObject.h"
#include "platform/com/CComPtr.h"
#include "platform/vds/VdsErrors.h"
#include "vds/framework/OrvVdsInterfaces.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace orvraid::test {

// {6C0E1F52-3A77-4B1D-9F0E-2B6A41D0C7A1}
inline constexpr CLSID CLSID_FakeVdsProvider = {
    0x6C0E1F52, 0x3A77, 0x4B1D, {0x9F, 0x0E, 0x2B, 0x6A, 0x41, 0xD0, 0xC7, 0xA1}};
// {1D8B5E03-9C44-4E6F-A2B7-5F31C8E9D402}
inline constexpr GUID FAKE_PROVIDER_ID = {
    0x1D8B5E03, 0x9C44, 0x4E6F, {0xA2, 0xB7, 0x5F, 0x31, 0xC8, 0xE9, 0xD4, 0x02}};

class FakeSubSystem;

class FakeVdsProvider : public CComObjectRootEx,
                        public IVdsProvider,
                        public IVdsProviderPrivate,
                        public IVdsHwProvider,
                        public IOrvVdsProviderPrivate {
public:
    using ComMap = ComInterfaceMap<IVdsProvider, IVdsProviderPrivate, IVdsHwProvider, IOrvVdsProviderPrivate>;

    // What the last OnLoad was given, for the tests of loading.
    static inline std::atomic<int> s_loads{0};
    static inline std::atomic<bool> s_lastLoadHadSink{false};

    // IVdsProvider
    HRESULT GetProperties(VDS_PROVIDER_PROP* pProviderProp) override;
    // IVdsProviderPrivate
    HRESULT GetObject(VDS_OBJECT_ID, VDS_OBJECT_TYPE, IUnknown**) override { return VDS_E_OBJECT_NOT_FOUND; }
    HRESULT OnLoad(LPWSTR pwszMachineName, IUnknown* pCallbackObject) override;
    HRESULT OnUnload(BOOL) override { return S_OK; }
    // IVdsHwProvider
    HRESULT QuerySubSystems(IEnumVdsObject** ppEnum) override;
    HRESULT Reenumerate() override;
    HRESULT Refresh() override;
    // IOrvVdsProviderPrivate
    HRESULT GetCorvaneInfo(LONG Index, BSTR* pbstrHostAddress, BSTR* pbstrUserName, BSTR* pbstrPassword,
                           LONG* pCvnStatus, BOOL* pIsValid) override;
    HRESULT SetCorvaneInfo(BSTR bstrHostAddress, BSTR bstrUserName, BSTR bstrPassword) override;
    HRESULT RemoveCorvaneInfo(BSTR bstrHostAddress) override;
    HRESULT ConnectToKnownSubsystems() override { return S_OK; }
    HRESULT TestVDSVersion() override { return S_OK; }

    int reenumerations() const { return m_reenumerations; }
    int refreshes() const { return m_refreshes; }
    // The password last given for `host` (empty when none), for the tests of prompting.
    std::u16string passwordOf(std::u16string_view host) const;

private:
    struct Array {
        std::u16string host;
        std::u16string user;
        std::u16string password;
        CComPtr<IUnknown> subsystem;
    };

    Array* find(std::u16string_view host);

    mutable std::mutex m_mutex;  // guards m_arrays
    std::vector<Array> m_arrays;
    int m_reenumerations = 0;
    int m_refreshes = 0;
};

// An enumerator over a fixed list of objects.
class FakeEnum : public CComObjectRootEx, public IEnumVdsObject {
public:
    using ComMap = ComInterfaceMap<IEnumVdsObject>;

    explicit FakeEnum(std::vector<CComPtr<IUnknown>> objects) : m_objects(std::move(objects)) {}

    static HRESULT create(std::vector<CComPtr<IUnknown>> objects, IEnumVdsObject** ppEnum);

    HRESULT Next(ULONG celt, IUnknown** ppObjectArray, ULONG* pcFetched) override;
    HRESULT Skip(ULONG celt) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumVdsObject**) override { return E_NOTIMPL; }

private:
    std::vector<CComPtr<IUnknown>> m_objects;
    std::size_t m_cursor = 0;
};

}  // namespace orvraid::test
