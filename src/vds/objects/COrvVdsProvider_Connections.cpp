// The provider's managed-array connection management: the subsystems kept in step with the
// managed-array list of the registry, log-ins and reconnects, and the private configuration
// interface IOrvVdsProviderPrivate. Every operation holds the provider lock for its whole
// body, the calls into the subsystems (which reach the arrays) included; only the
// background thread's reconciliation (COrvVdsProvider::reconcile) makes the log-ins it
// finds needed (pendingLogIns) after letting go of the lock.
//
// SetCorvaneInfo and RemoveCorvaneInfo save the changed list before they change anything
// else, and fail (E_ACCESSDENIED when the registry cannot be written, E_FAIL otherwise, with
// the reason as the thread's error description) when it cannot be saved: the provider then
// keeps its list and its subsystems as they were. Ignoring the failed save, as the provider
// once did, left a list in memory that the next reload from the registry undid, with a
// subsystem that came and went again.
#include "platform/com/ErrorDescription.h"
#include "platform/com/TextConversion.h"
#include "platform/registry/Registry.h"
#include "trace/Trace.h"
#include "vds/framework/VDSScopedLock.h"
#include "vds/framework/VdsMethodGuard.h"
#include "vds/objects/COrvVdsProvider.h"

#include <list>

using Merrow::Trace::TC_VDS_PROVIDER;
using Merrow::Trace::TV_ERROR;

namespace {

// CorvaneInfo::status values that decide a log-in.
constexpr std::int32_t kConnecting = 0;
constexpr std::int32_t kAuthorizationFailed = 2;
constexpr std::int32_t kLostConnection = 4;

// A BSTR argument to a subsystem, freed when it goes.
class OwnedBstr {
public:
    explicit OwnedBstr(const std::u16string& text) : m_bstr(SysAllocString(text)) {}
    ~OwnedBstr() { SysFreeString(m_bstr); }
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    BSTR get() const { return m_bstr; }
    BSTR* put() { return &m_bstr; }

private:
    BSTR m_bstr;
};

std::u16string textOf(BSTR bstr)
{
    return std::u16string(BstrView(bstr));
}

} // namespace

HRESULT COrvVdsProvider::readSubsystem(const VDS_OBJECT_ID& id, SubsystemEntry& entry)
{
    CComPtr<IUnknown> found;
    if (FAILED(GetObject(id, VDS_OT_SUB_SYSTEM, found.put())))
        return E_FAIL;
    CComPtr<IVdsSubSystem> subsystem;
    if (FAILED(found->QueryInterface(IID_IVdsSubSystem, subsystem.put_void())))
        return S_FALSE;
    entry = SubsystemEntry{};
    entry.id = id;
    if (FAILED(found->QueryInterface(IID_IOrvSubsystemPrivate, entry.privateItf.put_void())))
        return S_FALSE;
    OwnedBstr host(u" ");
    if (FAILED(entry.privateItf->GetHostAddress(host.put())))
        return S_FALSE;
    entry.host = textOf(host.get());
    return S_OK;
}

HRESULT COrvVdsProvider::ConnectToKnownSubsystems()
{
    return GuardVdsMethod("COrvVdsProvider::ConnectToKnownSubsystems", E_FAIL, [&] {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        m_SubsystemList.SetProviderGuid(GetGuid());
        m_CorvaneInfoList.Load();
        addOrRemoveConnections();
        return logInAllConnectionsIfNeeded();
    });
}

HRESULT COrvVdsProvider::addOrRemoveConnections()
{
    return GuardVdsMethod("COrvVdsProvider::addOrRemoveConnections", E_FAIL, [&] {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        std::list<CorvaneInfo> pending;
        CorvaneInfo info;
        for (long index = 0; m_CorvaneInfoList.GetAt(index, info); ++index)
            pending.push_back(info);
        for (const VDS_OBJECT_ID& id : subsystemIds()) {
            SubsystemEntry entry;
            const HRESULT hr = readSubsystem(id, entry);
            if (FAILED(hr))
                return E_FAIL;
            if (hr != S_OK)
                continue;
            auto known = std::find_if(pending.begin(), pending.end(),
                                      [&](const CorvaneInfo& e) { return e.host == entry.host; });
            if (known != pending.end())
                pending.erase(known);
            else
                removeSubsystem(id);
        }
        HRESULT result = S_OK;
        for (const CorvaneInfo& entry : pending)
            result = addSubsystemForInfo(entry);
        return result;
    });
}

HRESULT COrvVdsProvider::removeSubsystem(const VDS_OBJECT_ID& id)
{
    DeliverOne(VDS_NTT_SUB_SYSTEM, VDS_NF_SUB_SYSTEM_DEPART, id);
    return m_SubsystemList.DeleteListObject(id);
}

HRESULT COrvVdsProvider::addSubsystemForInfo(const CorvaneInfo& info)
{
    MWSCOPE_OBJ(this, "");
    VDSScopedLock lock(this);
    VDS_OBJECT_ID id{};
    if (FAILED(m_SubsystemList.AddListObject(&id)))
        return E_FAIL;
    CComPtr<IUnknown> found;
    if (FAILED(m_SubsystemList.GetListObject(id, VDS_OT_SUB_SYSTEM, found.put())))
        return S_OK;
    CComPtr<IOrvSubsystemPrivate> privateItf;
    if (FAILED(found->QueryInterface(IID_IOrvSubsystemPrivate, privateItf.put_void())))
        return S_OK;
    COrvSubSystem* subsystem = nullptr;
    if (FAILED(found->QueryInterface(GUID_NULL, reinterpret_cast<void**>(&subsystem))))
        return E_FAIL;
    subsystem->Initialize(GetGuid(), id);
    subsystem->InitializeSublists(GetGuid());
    subsystem->SetService(GetGuid());
    OwnedBstr host(info.host);
    privateItf->AddCorvane(host.get());
    DeliverOne(VDS_NTT_SUB_SYSTEM, VDS_NF_SUB_SYSTEM_ARRIVE, id);
    return S_OK;
}

HRESULT COrvVdsProvider::getCorvaneConnectionStatus()
{
    return GuardVdsMethod("COrvVdsProvider::getCorvaneConnectionStatus", E_FAIL, [&] {
        VDSScopedLock lock(this);
        for (const VDS_OBJECT_ID& id : subsystemIds()) {
            SubsystemEntry entry;
            const HRESULT hr = readSubsystem(id, entry);
            if (FAILED(hr))
                return E_FAIL;
            CorvaneInfo info;
            if (hr != S_OK || !m_CorvaneInfoList.Find(entry.host, info))
                continue;
            ULONG status = 0;
            entry.privateItf->GetConnectionStatus(&status);
            info.status = static_cast<std::int32_t>(status);
            m_CorvaneInfoList.AddOrUpdate(info);
        }
        return S_OK;
    });
}

HRESULT COrvVdsProvider::logInAllConnectionsIfNeeded()
{
    return GuardVdsMethod("COrvVdsProvider::logInAllConnectionsIfNeeded", E_FAIL, [&] {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        getCorvaneConnectionStatus();
        HRESULT result = S_OK;
        for (const auto& [entry, reconnect] : arraysToLogIn())
            result = logInSingleConnection(entry, reconnect);
        return result;
    });
}

std::vector<std::pair<CorvaneInfo, bool>> COrvVdsProvider::arraysToLogIn()
{
    VDSScopedLock lock(this);
    std::vector<std::pair<CorvaneInfo, bool>> arrays;
    CorvaneInfo info;
    for (long index = 0; m_CorvaneInfoList.GetAt(index, info); ++index) {
        if (info.status >= kConnecting && info.status <= kAuthorizationFailed)
            arrays.emplace_back(info, false);
        else if (info.status == kLostConnection)
            arrays.emplace_back(info, true);
        // Connected arrays and unknown values are left alone.
    }
    return arrays;
}

std::vector<PendingLogIn> COrvVdsProvider::pendingLogIns()
{
    VDSScopedLock lock(this);
    getCorvaneConnectionStatus();
    std::vector<PendingLogIn> pending;
    for (const auto& [entry, reconnect] : arraysToLogIn()) {
        for (const VDS_OBJECT_ID& id : subsystemIds()) {
            SubsystemEntry subsystem;
            if (readSubsystem(id, subsystem) == S_OK && subsystem.host == entry.host) {
                pending.push_back({subsystem.privateItf, entry, reconnect});
                break;
            }
        }
    }
    return pending;
}

HRESULT COrvVdsProvider::runLogIn(const PendingLogIn& logIn)
{
    if (logIn.reconnect)
        return logIn.subsystem->Reconnect();
    OwnedBstr user(logIn.info.userName);
    OwnedBstr password(logIn.info.password);
    return logIn.subsystem->LogIn(user.get(), password.get());
}

HRESULT COrvVdsProvider::logInSingleConnection(const CorvaneInfo& info, bool reconnect)
{
    return GuardVdsMethod("COrvVdsProvider::logInSingleConnection", E_FAIL, [&] {
        VDSScopedLock lock(this);
        for (const VDS_OBJECT_ID& id : subsystemIds()) {
            SubsystemEntry entry;
            const HRESULT hr = readSubsystem(id, entry);
            if (FAILED(hr))
                return E_FAIL;
            if (hr != S_OK || entry.host != info.host)
                continue;
            return runLogIn({entry.privateItf, info, reconnect});
        }
        return S_FALSE;
    });
}

HRESULT COrvVdsProvider::SetCorvaneInfo(BSTR bstrHostAddress, BSTR bstrUserName,
                                        BSTR bstrPassword)
{
    return GuardVdsMethod("COrvVdsProvider::SetCorvaneInfo", E_UNEXPECTED, [&] {
        MWSCOPE_OBJ(this, "");
        orv::platform::ClearErrorDescription();
        VDSScopedLock lock(this);
        if (bstrHostAddress == nullptr)
            return S_OK;
        CorvaneInfo info;
        info.host = textOf(bstrHostAddress);
        info.userName = textOf(bstrUserName);
        info.password = textOf(bstrPassword);
        CorvaneInfoListWriter updated = m_CorvaneInfoList;
        const int added = updated.AddOrUpdate(info);
        if (const HRESULT saved = saveCorvaneInfoList(updated); FAILED(saved))
            return saved;
        HRESULT result = S_OK;
        if (added == 0)
            result = addSubsystemForInfo(info);
        logInSingleConnection(info, false);
        return result;
    });
}

HRESULT COrvVdsProvider::RemoveCorvaneInfo(BSTR bstrHostAddress)
{
    return GuardVdsMethod("COrvVdsProvider::RemoveCorvaneInfo", E_FAIL, [&] {
        MWSCOPE_OBJ(this, "");
        orv::platform::ClearErrorDescription();
        VDSScopedLock lock(this);
        if (m_CorvaneInfoList.Size() == 0)
            return S_OK;
        const std::u16string host = textOf(bstrHostAddress);
        for (const VDS_OBJECT_ID& id : subsystemIds()) {
            SubsystemEntry entry;
            const HRESULT hr = readSubsystem(id, entry);
            if (FAILED(hr))
                return E_FAIL;
            if (hr != S_OK || entry.host != host)
                continue;
            CorvaneInfoListWriter updated = m_CorvaneInfoList;
            if (updated.Remove(host)) {
                if (const HRESULT saved = saveCorvaneInfoList(updated); FAILED(saved))
                    return saved;
            }
            removeSubsystem(id);
            break;
        }
        return S_OK;
    });
}

HRESULT COrvVdsProvider::saveCorvaneInfoList(CorvaneInfoListWriter& updated)
{
    const int result = updated.Save();
    if (result == CorvaneInfoList::kSuccess) {
        m_CorvaneInfoList = updated;
        return S_OK;
    }
    const bool notWritable = result == CorvaneInfoList::kRegistryWriteFailed;
    const std::shared_ptr<orv::platform::Registry> registry = orv::platform::Registry::processRegistry();
    const std::string reason = notWritable && registry
                                   ? registry->describeWriteFailure()
                                   : orv::platform::Utf16ToUtf8(CorvaneInfoList::ResultMessage(result));
    const std::string text = "The list of managed arrays stays as it was: " + reason + ".";
    MWTRACE(TV_ERROR, TC_VDS_PROVIDER) << text << MWENDREC;
    orv::platform::SetErrorDescription(text);
    return notWritable ? E_ACCESSDENIED : E_FAIL;
}

VDS_OBJECT_ID COrvVdsProvider::findSubsystemIdByHost(const std::u16string& host)
{
    for (const VDS_OBJECT_ID& id : subsystemIds()) {
        SubsystemEntry entry;
        if (readSubsystem(id, entry) == S_OK && entry.host == host)
            return id;
    }
    return GUID_NULL;
}

HRESULT COrvVdsProvider::GetCorvaneInfo(LONG Index, BSTR* pbstrHostAddress, BSTR* pbstrUserName,
                                        BSTR* pbstrPassword, LONG* pCvnStatus, BOOL* pIsValid)
{
    return GuardVdsMethod("COrvVdsProvider::GetCorvaneInfo", E_FAIL, [&] {
        MWSCOPE_OBJ(this, "");
        if (pbstrHostAddress == nullptr || pbstrUserName == nullptr || pbstrPassword == nullptr ||
            pCvnStatus == nullptr || pIsValid == nullptr)
            return E_POINTER;
        VDSScopedLock lock(this);
        const int loaded = m_CorvaneInfoList.Load();
        addOrRemoveConnections();
        logInAllConnectionsIfNeeded();
        if (loaded != CorvaneInfoList::kSuccess) {
            MWTRACE(TV_ERROR, TC_VDS_PROVIDER)
                << orv::platform::Utf16ToUtf8(CorvaneInfoList::ResultMessage(loaded)) << MWENDREC;
        }
        CorvaneInfo info;
        if (!m_CorvaneInfoList.GetAt(Index, info)) {
            *pIsValid = FALSE;
            return S_OK;
        }
        *pIsValid = TRUE;
        *pbstrHostAddress = SysAllocString(info.host);
        *pbstrUserName = SysAllocString(info.userName);
        *pbstrPassword = SysAllocString(info.password);
        CComPtr<IUnknown> found;
        if (SUCCEEDED(GetObject(findSubsystemIdByHost(info.host), VDS_OT_SUB_SYSTEM, found.put()))) {
            CComPtr<IOrvSubsystemPrivate> privateItf;
            if (SUCCEEDED(found->QueryInterface(IID_IOrvSubsystemPrivate, privateItf.put_void()))) {
                ULONG status = 0;
                privateItf->GetConnectionStatus(&status);
                *pCvnStatus = static_cast<LONG>(status);
            }
        }
        return S_OK;
    });
}
