#include "vds/objects/COrvController.h"

#include "platform/com/Guid.h"
#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "platform/strings/ResourceString.h"
#include "platform/strings/StringTable.h"
#include "vds/framework/VdsResources.h"
#include "vds/objects/COrvSubSystem.h"
#include "vds/objects/COrvVdsProvider.h"

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_CONTROLLER;
using Merrow::Trace::TV_INFO;
using Merrow::Trace::TV_SEVERE;
using Merrow::Trace::TV_WARNING;

namespace {

// The product name in the controller's friendly name (resource library string 105).
constexpr UINT kProductName = 105;
// Texts VDS receives are cut at the length of the platform's name buffers.
constexpr std::size_t kMaxTextLength = 260 - 1;

// UAEnums::OperationalStatus numbers.
constexpr std::int32_t kOperationalOk = 0;
constexpr std::int32_t kOperationalFailed = 1;

std::u16string limited(std::u16string text)
{
    if (text.size() > kMaxTextLength)
        text.resize(kMaxTextLength);
    return text;
}

} // namespace

// ---- properties ------------------------------------------------------------------------

HRESULT COrvController::GetProperties(VDS_CONTROLLER_PROP* pControllerProp)
{
    return GuardVdsMethod("COrvController::GetProperties", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (pControllerProp == nullptr)
            return E_INVALIDARG;
        *pControllerProp = VDS_CONTROLLER_PROP{};
        VDS_CONTROLLER_PROP prop{};
        const HRESULT hr = getControllerProperties(prop);
        if (FAILED(hr)) {
            CoTaskMemFree(prop.pwszFriendlyName);
            CoTaskMemFree(prop.pwszIdentification);
            return hr;
        }
        *pControllerProp = prop;
        return S_OK;
    });
}

HRESULT COrvController::getControllerProperties(VDS_CONTROLLER_PROP& prop)
{
    prop.id = GetGuid();
    const std::u16string format =
        VdsResources::programString(orv::platform::StringTable::IDS_CONTROLLER_NAME_FORMAT)
            .value_or(u"%s controller");
    const std::u16string product = VdsResources::libraryString(kProductName).value_or(u"");
    prop.pwszFriendlyName =
        CoTaskMemDupString(limited(orv::platform::formatResourceString(format, {product})));
    std::string serial;
    if (!m_Service.GetSerialNumber(serial).isFailure())
        prop.pwszIdentification = CoTaskMemDupString(limited(orv::platform::Utf8ToUtf16(serial)));
    if (prop.pwszFriendlyName == nullptr || (!serial.empty() && prop.pwszIdentification == nullptr))
        return E_OUTOFMEMORY;

    UAEnums::OperationalStatus status;
    const MerrowReturnValue statusRead = m_Service.GetStatus(status);
    if (statusRead.isFailure()) {
        MWTRACE(TV_SEVERE, TC_VDS_CONTROLLER)
            << "Controller Get Status returned: " << statusRead.getCode() << MWENDREC;
    } else if (status.getValue() == kOperationalOk) {
        MWTRACE(TV_INFO, TC_VDS_CONTROLLER) << "Controller Status is OK:" << status.toString() << MWENDREC;
        prop.status = VDS_CS_ONLINE;
        prop.health = VDS_H_HEALTHY;
    } else {
        MWTRACE(TV_INFO, TC_VDS_CONTROLLER)
            << "Controller Status is NOT OK:" << status.toString() << MWENDREC;
        prop.status = VDS_CS_FAILED;
        prop.health = status.getValue() == kOperationalFailed ? VDS_H_FAILED : VDS_H_HEALTHY;
    }

    const HRESULT hr = readPortsLocked();
    if (FAILED(hr))
        return hr;
    prop.sNumberOfPorts = static_cast<SHORT>(m_Ports.size());
    MWTRACE(TV_INFO, TC_VDS_CONTROLLER)
        << "Controller Number of Ports is:" << prop.sNumberOfPorts << MWENDREC;
    return S_OK;
}

HRESULT COrvController::readPortsLocked()
{
    if (m_PortsRead)
        return S_OK;
    std::vector<Service_PhysicalPort> ports;
    const MerrowReturnValue read = m_Service.GetPhysicalPorts(ports);
    if (read.isFailure()) {
        MWTRACE(TV_SEVERE, TC_VDS_CONTROLLER)
            << "Controller GetPhysicalPorts returned: " << read.getCode() << MWENDREC;
        return E_FAIL;
    }
    m_PortList.DeleteAllListObjects();
    m_PortIds.clear();
    m_PortList.SetProviderGuid(GetProviderGuid());
    for (const Service_PhysicalPort& port : ports) {
        const HRESULT hr = addPortLocked(port);
        if (FAILED(hr)) {
            m_PortList.DeleteAllListObjects();
            m_PortIds.clear();
            return hr;
        }
    }
    m_Ports = std::move(ports);
    m_PortsRead = true;
    return S_OK;
}

HRESULT COrvController::addPortLocked(const Service_PhysicalPort& port)
{
    VDS_OBJECT_ID id{};
    CComObject<COrvControllerPort>* created = nullptr;
    const HRESULT hr = m_PortList.CreateListObject(&id, &created);
    if (FAILED(hr)) {
        MWTRACE(TV_SEVERE, TC_VDS_CONTROLLER) << "Create Object ControllerPort Failed" << MWENDREC;
        return hr;
    }
    CComPtr<CComObject<COrvControllerPort>> object;
    object.Attach(created);
    object->SetService(port, GetSubSystemId(), GetGuid());
    m_PortIds.push_back(id);
    return S_OK;
}

HRESULT COrvController::GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk)
{
    VDSScopedLock lock(this);
    return m_PortList.GetListObject(id, type, ppUnk);
}

// ---- ports -----------------------------------------------------------------------------

HRESULT COrvController::GetPortProperties(SHORT sPortNumber, VDS_PORT_PROP* pPortProp)
{
    return GuardVdsMethod("COrvController::GetPortProperties", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (pPortProp == nullptr)
            return E_INVALIDARG;
        *pPortProp = VDS_PORT_PROP{};
        if (!m_Service.IsValid() || FAILED(readPortsLocked()) || sPortNumber < 0 ||
            static_cast<std::size_t>(sPortNumber) >= m_Ports.size()) {
            MWTRACE(TV_SEVERE, TC_VDS_CONTROLLER) << "Service Controller is not Valid" << MWENDREC;
            return E_FAIL;
        }
        const auto index = static_cast<std::size_t>(sPortNumber);
        COrvControllerPort::FillProperties(m_Ports[index], m_PortIds[index], *pPortProp);
        return S_OK;
    });
}

HRESULT COrvController::QueryControllerPorts(IEnumVdsObject** ppEnum)
{
    return GuardVdsMethod("COrvController::QueryControllerPorts", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        if (ppEnum == nullptr) {
            MWTRACE(TV_WARNING, TC_VDS_CONTROLLER) << "ppEnum is NULL" << MWENDREC;
            return E_INVALIDARG;
        }
        *ppEnum = nullptr;
        COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
        if (GetSubSystemId() == GUID_NULL) {
            MWTRACE(TV_WARNING, TC_VDS_CONTROLLER)
                << "QueryControllerPorts called, but m_pMySubsystem is NULL" << MWENDREC;
            return E_FAIL;
        }
        if (provider == nullptr)
            return E_FAIL;
        std::vector<VDS_OBJECT_ID> ids;
        {
            VDSScopedLock lock(this);
            if (!m_Service.IsValid() || FAILED(readPortsLocked()))
                return E_FAIL;
            ids = m_PortIds;
        }
        return provider->MakeEnum(VDS_OT_PORT, ids, ppEnum);
    });
}

// ---- LUNs, reset and status ------------------------------------------------------------

HRESULT COrvController::QueryAssociatedLuns(IEnumVdsObject** ppEnum)
{
    return GuardVdsMethod("COrvController::QueryAssociatedLuns", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        auto subsystem = COrvSubSystem::Find(GetProviderGuid(), GetSubSystemId());
        COrvVdsProvider* provider = FindVdsProvider(GetProviderGuid());
        if (!subsystem || provider == nullptr) {
            MWTRACE(TV_WARNING, TC_VDS_CONTROLLER)
                << "QueryAssociatedLuns called, but m_pMySubsystem is NULL" << MWENDREC;
            return E_FAIL;
        }
        VDSScopedLock providerLock(provider);
        VDSScopedLock subsystemLock(subsystem.get());
        VDSScopedLock lock(this);
        if (ppEnum == nullptr) {
            MWTRACE(TV_WARNING, TC_VDS_CONTROLLER) << "ppEnum is NULL" << MWENDREC;
            return E_INVALIDARG;
        }
        // Either controller of the pair serves every volume of the array.
        return subsystem->QueryLuns(ppEnum);
    });
}

HRESULT COrvController::Reset()
{
    return GuardVdsMethod("COrvController::Reset", E_UNEXPECTED, [&]() -> HRESULT {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        if (!m_Service.IsValid()) {
            MWTRACE(TV_WARNING, TC_VDS_CONTROLLER)
                << "Reset controller called without m_ServiceController has not been initialized"
                << MWENDREC;
            return E_FAIL;
        }
        const MerrowReturnValue result = m_Service.Restart();
        if (result.isFailure()) {
            MWTRACE(TV_WARNING, TC_VDS_CONTROLLER)
                << "The array refused the restart: " << result.getCode() << MWENDREC;
            return E_FAIL;
        }
        return S_OK;
    });
}

HRESULT COrvController::SetStatus(VDS_CONTROLLER_STATUS status)
{
    return GuardVdsMethod("COrvController::SetStatus", E_UNEXPECTED, [&] {
        MWSCOPE_OBJ(this, "");
        VDSScopedLock lock(this);
        return setControllerStatus(status);
    });
}

HRESULT COrvController::setControllerStatus(VDS_CONTROLLER_STATUS status)
{
    VDSScopedLock lock(this);
    switch (status) {
    case VDS_CS_ONLINE:
        return S_OK;
    case VDS_CS_OFFLINE: {
        const MerrowReturnValue result = m_Service.ShutDown();
        MWTRACE(TV_INFO, TC_VDS_CONTROLLER)
            << "Controller shut-down answered: " << result.getCode() << MWENDREC;
        return VDS_E_NOT_SUPPORTED;
    }
    default:
        return E_INVALIDARG;
    }
}
