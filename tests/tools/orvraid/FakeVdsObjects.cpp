#include "FakeVdsObjects.h"

#include "platform/com/Bstr.h"
#include "platform/com/TaskMemory.h"

#include <cstring>
#include <new>

namespace orvraid::test {
namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

LPWSTR taskCopy(std::u16string_view text)
{
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(WCHAR)));
    if (copy == nullptr)
        throw std::bad_alloc();
    std::memcpy(copy, text.data(), text.size() * sizeof(WCHAR));
    copy[text.size()] = 0;
    return copy;
}

template <class T, class... Args>
CComPtr<IUnknown> createObject(Args&&... args)
{
    CComObject<T>* object = nullptr;
    if (FAILED(CComObject<T>::CreateInstance(&object, std::forward<Args>(args)...)))
        throw std::bad_alloc();
    CComPtr<IUnknown> unknown;
    object->QueryInterface(IID_IUnknown, unknown.put_void());
    return unknown;
}

class FakeController : public CComObjectRootEx, public IVdsController {
public:
    using ComMap = ComInterfaceMap<IVdsController>;
    HRESULT GetProperties(VDS_CONTROLLER_PROP* p) override
    {
        *p = {};
        p->pwszFriendlyName = taskCopy(u"Controller A");
        p->pwszIdentification = taskCopy(u"CTRL-A");
        p->status = VDS_CS_ONLINE;
        p->health = VDS_H_HEALTHY;
        p->sNumberOfPorts = 2;
        return S_OK;
    }
    HRESULT GetSubSystem(IVdsSubSystem**) override { return E_NOTIMPL; }
    HRESULT GetPortProperties(SHORT, VDS_PORT_PROP*) override { return E_NOTIMPL; }
    HRESULT FlushCache() override { return E_NOTIMPL; }
    HRESULT InvalidateCache() override { return E_NOTIMPL; }
    HRESULT Reset() override { return E_NOTIMPL; }
    HRESULT QueryAssociatedLuns(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT SetStatus(VDS_CONTROLLER_STATUS) override { return E_NOTIMPL; }
};

class FakeDrive : public CComObjectRootEx, public NullVdsDrive {
public:
    using ComMap = ComInterfaceMap<IVdsDrive>;
    FakeDrive(SHORT slot, ULONG flags) : m_slot(slot), m_flags(flags) {}
    HRESULT GetProperties(VDS_DRIVE_PROP* p) override
    {
        *p = {};
        p->ullSize = 107 * kGiB;
        p->pwszFriendlyName = taskCopy(u"Disk");
        p->pwszIdentification = taskCopy(u"DISK");
        p->ulFlags = m_flags;
        p->status = VDS_DRS_ONLINE;
        p->health = VDS_H_HEALTHY;
        p->sSlotNumber = m_slot;
        return S_OK;
    }

private:
    SHORT m_slot;
    ULONG m_flags;
};

class FakeLun : public CComObjectRootEx, public NullVdsLun {
public:
    using ComMap = ComInterfaceMap<IVdsLun>;
    FakeLun(std::u16string name, std::uint64_t size, VDS_LUN_TYPE type)
        : m_name(std::move(name)), m_size(size), m_type(type)
    {
    }
    HRESULT GetProperties(VDS_LUN_PROP* p) override
    {
        *p = {};
        p->ullSize = m_size;
        p->pwszFriendlyName = taskCopy(m_name);
        p->pwszIdentification = taskCopy(u"600A0B80");
        p->pwszUnmaskingList = taskCopy(u"*");
        p->type = m_type;
        p->status = VDS_LS_ONLINE;
        p->health = VDS_H_HEALTHY;
        return S_OK;
    }

private:
    std::u16string m_name;
    std::uint64_t m_size;
    VDS_LUN_TYPE m_type;
};

class FakeTarget : public CComObjectRootEx, public NullVdsTarget {
public:
    using ComMap = ComInterfaceMap<IVdsIscsiTarget>;
    HRESULT GetProperties(VDS_ISCSI_TARGET_PROP* p) override
    {
        *p = {};
        p->pwszIscsiName = taskCopy(u"iqn.2026-01.com.example:target0");
        p->pwszFriendlyName = taskCopy(u"Target Zero");
        p->bChapEnabled = TRUE;
        return S_OK;
    }
};

class FakePortal : public CComObjectRootEx, public NullVdsPortal {
public:
    using ComMap = ComInterfaceMap<IVdsIscsiPortal>;
    HRESULT GetProperties(VDS_ISCSI_PORTAL_PROP* p) override
    {
        *p = {};
        p->address.type = VDS_IPT_IPV4;
        p->address.ipv4Address = 0xC0A80A05;  // 192.168.10.5
        p->address.ulPort = 3260;
        p->status = VDS_IPS_ONLINE;
        return S_OK;
    }
};

}  // namespace

class FakeSubSystem : public CComObjectRootEx, public NullVdsSubSystem, public IVdsSubSystemIscsi {
public:
    using ComMap = ComInterfaceMap<IVdsSubSystem, IVdsSubSystemIscsi>;

    explicit FakeSubSystem(std::u16string host) : m_host(std::move(host))
    {
        CoCreateGuid(&m_id);
        m_controllers.push_back(createObject<FakeController>());
        m_drives.push_back(createObject<FakeDrive>(SHORT{1}, ULONG{VDS_DRF_ASSIGNED}));
        m_drives.push_back(createObject<FakeDrive>(SHORT{2}, ULONG{VDS_DRF_HOTSPARE}));
        m_luns.push_back(createObject<FakeLun>(u"Data", 10 * kGiB, VDS_LT_MIRROR));
        m_luns.push_back(createObject<FakeLun>(u"Logs", 512ull * 1024 * 1024, VDS_LT_SIMPLE));
        m_targets.push_back(createObject<FakeTarget>());
        m_portals.push_back(createObject<FakePortal>());
    }

    HRESULT GetProperties(VDS_SUB_SYSTEM_PROP* p) override
    {
        const bool refused = has(u"noauth");
        *p = {};
        p->id = m_id;
        p->pwszFriendlyName = taskCopy(refused ? m_host : u"Fake@" + m_host);
        p->pwszIdentification = taskCopy(m_host);
        p->ulFlags = VDS_SF_LUN_MASKING_CAPABLE | VDS_SF_SUPPORTS_AUTH_CHAP;
        p->status = refused ? VDS_SSS_FAILED : VDS_SSS_ONLINE;
        p->health = refused ? VDS_H_UNKNOWN : VDS_H_HEALTHY;
        p->sNumberOfInternalBuses = 1;
        p->sMaxNumberOfSlotsEachBus = 12;
        p->sMaxNumberOfControllers = 1;
        p->sRebuildPriority = 16;
        return S_OK;
    }
    HRESULT QueryControllers(IEnumVdsObject** e) override { return FakeEnum::create(m_controllers, e); }
    HRESULT QueryDrives(IEnumVdsObject** e) override { return FakeEnum::create(m_drives, e); }
    HRESULT QueryLuns(IEnumVdsObject** e) override
    {
        if (has(u"badluns"))
            return VDS_E_PROVIDER_FAILURE;
        return FakeEnum::create(m_luns, e);
    }
    HRESULT Reenumerate() override { return S_OK; }
    HRESULT QueryTargets(IEnumVdsObject** e) override { return FakeEnum::create(m_targets, e); }
    HRESULT QueryPortals(IEnumVdsObject** e) override { return FakeEnum::create(m_portals, e); }
    HRESULT CreateTarget(LPWSTR, LPWSTR, IVdsAsync**) override { return VDS_E_NOT_SUPPORTED; }
    HRESULT SetIpsecGroupPresharedKey(VDS_ISCSI_IPSEC_KEY*) override { return VDS_E_NOT_SUPPORTED; }

    LONG connectionStatus() const { return has(u"noauth") ? 2 : 3; }

private:
    bool has(std::u16string_view part) const { return m_host.find(part) != std::u16string::npos; }

    std::u16string m_host;
    VDS_OBJECT_ID m_id{};
    std::vector<CComPtr<IUnknown>> m_controllers, m_drives, m_luns, m_targets, m_portals;
};

HRESULT FakeEnum::create(std::vector<CComPtr<IUnknown>> objects, IEnumVdsObject** ppEnum)
{
    CComObject<FakeEnum>* enumerator = nullptr;
    const HRESULT hr = CComObject<FakeEnum>::CreateInstance(&enumerator, std::move(objects));
    if (FAILED(hr))
        return hr;
    return enumerator->QueryInterface(IID_IEnumVdsObject, reinterpret_cast<void**>(ppEnum));
}

HRESULT FakeEnum::Next(ULONG celt, IUnknown** ppObjectArray, ULONG* pcFetched)
{
    ULONG fetched = 0;
    for (; fetched < celt && m_cursor < m_objects.size(); ++fetched)
        m_objects[m_cursor++].CopyTo(&ppObjectArray[fetched]);
    *pcFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
}

HRESULT FakeEnum::Skip(ULONG celt)
{
    m_cursor = std::min(m_objects.size(), m_cursor + celt);
    return S_OK;
}

HRESULT FakeEnum::Reset()
{
    m_cursor = 0;
    return S_OK;
}

HRESULT FakeVdsProvider::GetProperties(VDS_PROVIDER_PROP* p)
{
    *p = {};
    p->id = FAKE_PROVIDER_ID;
    p->pwszName = taskCopy(u"Test Provider");
    p->pwszVersion = taskCopy(u"1.0");
    p->type = VDS_PT_HARDWARE;
    return S_OK;
}

HRESULT FakeVdsProvider::OnLoad(LPWSTR, IUnknown* pCallbackObject)
{
    ++s_loads;
    s_lastLoadHadSink = pCallbackObject != nullptr;
    return S_OK;
}

HRESULT FakeVdsProvider::QuerySubSystems(IEnumVdsObject** ppEnum)
{
    std::vector<CComPtr<IUnknown>> subsystems;
    {
        std::lock_guard lock(m_mutex);
        for (const Array& array : m_arrays)
            subsystems.push_back(array.subsystem);
    }
    return FakeEnum::create(std::move(subsystems), ppEnum);
}

HRESULT FakeVdsProvider::Reenumerate()
{
    ++m_reenumerations;
    return S_OK;
}

HRESULT FakeVdsProvider::Refresh()
{
    ++m_refreshes;
    return S_OK;
}

HRESULT FakeVdsProvider::GetCorvaneInfo(LONG Index, BSTR* pbstrHostAddress, BSTR* pbstrUserName,
                                        BSTR* pbstrPassword, LONG* pCvnStatus, BOOL* pIsValid)
{
    std::lock_guard lock(m_mutex);
    *pIsValid = Index >= 0 && static_cast<std::size_t>(Index) < m_arrays.size();
    if (!*pIsValid)
        return S_OK;
    const Array& array = m_arrays[static_cast<std::size_t>(Index)];
    *pbstrHostAddress = SysAllocString(std::u16string_view(array.host));
    *pbstrUserName = SysAllocString(std::u16string_view(array.user));
    *pbstrPassword = SysAllocString(std::u16string_view(array.password));
    CComPtr<IUnknown> subsystem = array.subsystem;
    FakeSubSystem* fake = nullptr;
    subsystem->QueryInterface(GUID_NULL, reinterpret_cast<void**>(&fake));
    *pCvnStatus = fake->connectionStatus();
    return S_OK;
}

HRESULT FakeVdsProvider::SetCorvaneInfo(BSTR bstrHostAddress, BSTR bstrUserName, BSTR bstrPassword)
{
    const std::u16string host(BstrView(bstrHostAddress));
    if (host.starts_with(u"reject"))
        return E_INVALIDARG;
    std::lock_guard lock(m_mutex);
    if (Array* known = find(host)) {
        known->user = BstrView(bstrUserName);
        known->password = BstrView(bstrPassword);
        return S_OK;
    }
    m_arrays.push_back({host, std::u16string(BstrView(bstrUserName)), std::u16string(BstrView(bstrPassword)),
                        createObject<FakeSubSystem>(host)});
    return S_OK;
}

HRESULT FakeVdsProvider::RemoveCorvaneInfo(BSTR bstrHostAddress)
{
    const std::u16string host(BstrView(bstrHostAddress));
    if (host.find(u"sticky") != std::u16string::npos)
        return S_OK;
    std::lock_guard lock(m_mutex);
    std::erase_if(m_arrays, [&](const Array& array) { return array.host == host; });
    return S_OK;
}

std::u16string FakeVdsProvider::passwordOf(std::u16string_view host) const
{
    std::lock_guard lock(m_mutex);
    for (const Array& array : m_arrays) {
        if (array.host == host)
            return array.password;
    }
    return u"";
}

FakeVdsProvider::Array* FakeVdsProvider::find(std::u16string_view host)
{
    for (Array& array : m_arrays) {
        if (array.host == host)
            return &array;
    }
    return nullptr;
}

}  // namespace orvraid::test
