#include "vds/objects/COrvControllerPort.h"

#include "platform/com/TaskMemory.h"
#include "platform/com/TextConversion.h"
#include "trace/Trace.h"
#include "vds/framework/VdsMethodGuard.h"
#include "vds/objects/COrvSubSystem.h"

#include <string>

using namespace Merrow::UserAgent;
using Merrow::Trace::TC_VDS_CONTROLLER;
using Merrow::Trace::TV_SEVERE;

namespace {

// UAEnums::OperationalStatus numbers.
constexpr std::int32_t kOperationalFailed = 1;
constexpr std::int32_t kOperationalNeedsAttention = 3;

VDS_PORT_STATUS portStatus(std::int32_t operationalStatus)
{
    switch (operationalStatus) {
    case kOperationalFailed:
        return VDS_PRS_OFFLINE;
    case kOperationalNeedsAttention:
        return VDS_PRS_FAILED;
    default:
        return VDS_PRS_ONLINE;
    }
}

} // namespace

void COrvControllerPort::SetService(const Service_PhysicalPort& port, const VDS_OBJECT_ID& subSystemId,
                                    const VDS_OBJECT_ID& controllerId)
{
    m_Port = port;
    m_SubSystemId = subSystemId;
    m_ControllerId = controllerId;
}

void COrvControllerPort::FillProperties(const Service_PhysicalPort& port, const VDS_OBJECT_ID& id,
                                        VDS_PORT_PROP& prop)
{
    prop.id = id;
    std::string name;
    const MerrowReturnValue nameRead = port.GetName(name);
    if (nameRead.isFailure())
        MWTRACE(TV_SEVERE, TC_VDS_CONTROLLER)
            << "ServicePort GetName failed with return:" << nameRead.getCode() << MWENDREC;
    else
        prop.pwszFriendlyName = CoTaskMemDupString(orv::platform::Utf8ToUtf16(name));
    std::uint16_t number = 0;
    if (!port.GetPortNumber(number).isFailure())
        prop.pwszIdentification = CoTaskMemDupString(orv::platform::Utf8ToUtf16(std::to_string(number)));
    UAEnums::OperationalStatus status;
    const MerrowReturnValue statusRead = port.GetStatus(status);
    if (statusRead.isFailure()) {
        MWTRACE(TV_SEVERE, TC_VDS_CONTROLLER)
            << "ServicePort GetStatus failed with return:" << statusRead.getCode() << MWENDREC;
        prop.status = VDS_PRS_ONLINE;
        return;
    }
    prop.status = portStatus(status.getValue());
}

HRESULT COrvControllerPort::GetProperties(VDS_PORT_PROP* pPortProp)
{
    return GuardVdsMethod("COrvControllerPort::GetProperties", E_UNEXPECTED, [&]() -> HRESULT {
        if (pPortProp == nullptr)
            return E_INVALIDARG;
        *pPortProp = VDS_PORT_PROP{};
        if (!m_Port.IsValid())
            return E_FAIL;
        FillProperties(m_Port, GetGuid(), *pPortProp);
        return S_OK;
    });
}

HRESULT COrvControllerPort::lookUpController(IVdsController** ppController)
{
    auto subsystem = COrvSubSystem::Find(GetProviderGuid(), m_SubSystemId);
    if (!subsystem)
        return E_FAIL;
    CComPtr<IUnknown> found;
    const HRESULT hr = subsystem->GetSubObject(m_ControllerId, VDS_OT_CONTROLLER, found.put());
    if (FAILED(hr))
        return hr;
    return found->QueryInterface(IID_IVdsController, reinterpret_cast<void**>(ppController));
}

HRESULT COrvControllerPort::GetController(IVdsController** ppController)
{
    return GuardVdsMethod("COrvControllerPort::GetController", E_UNEXPECTED, [&]() -> HRESULT {
        if (ppController == nullptr)
            return E_INVALIDARG;
        *ppController = nullptr;
        return lookUpController(ppController);
    });
}

HRESULT COrvControllerPort::QueryAssociatedLuns(IEnumVdsObject** ppEnum)
{
    return GuardVdsMethod("COrvControllerPort::QueryAssociatedLuns", E_UNEXPECTED, [&]() -> HRESULT {
        if (ppEnum == nullptr)
            return E_INVALIDARG;
        *ppEnum = nullptr;
        CComPtr<IVdsController> controller;
        const HRESULT hr = lookUpController(controller.put());
        return FAILED(hr) ? hr : controller->QueryAssociatedLuns(ppEnum);
    });
}
