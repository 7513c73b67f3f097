// COrvControllerPort: the VDS object of one Ethernet port of an array controller. The
// controller makes one per port the first time its ports are read and keeps them for its
// life, so a port's id stays the same between enumerations.
//
// It reports the port's name, number and status. The array serves every LUN through every
// port, so its LUNs are the controller's; the array cannot reset a single port or change
// its status, so those requests answer VDS_E_NOT_SUPPORTED.
//
// Threads: VDS's COM threads. It has no lock of its own: its handle and ids are set by the
// controller, under the controller lock, before the object is published, and never change.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/vds/VdsErrors.h"
#include "platform/vds/VdsInterfaces.h"
#include "user_agent/services/Service_PhysicalPort.h"
#include "vds/framework/CVdsObjectBase.h"
#include "vds/framework/OrvVdsInterfaces.h"

class COrvControllerPort : public CComObjectRootEx,
                           public IVdsControllerPort,
                           public IOrvControllerPort,
                           public CVdsObjectBase<VDS_OT_PORT> {
public:
    using ComMap = ComInterfaceMap<IVdsControllerPort, IOrvControllerPort>;

    std::string className() const override { return "COrvControllerPort"; }

    // The port's handle and the subsystem and controller that hold it (called once by the
    // controller that made it).
    void SetService(const Merrow::UserAgent::Service_PhysicalPort& port,
                    const VDS_OBJECT_ID& subSystemId, const VDS_OBJECT_ID& controllerId);

    // The properties of `port`, whose id is `id`: the name, the port number in decimal and
    // the status. Shared with the controller's GetPortProperties.
    static void FillProperties(const Merrow::UserAgent::Service_PhysicalPort& port,
                               const VDS_OBJECT_ID& id, VDS_PORT_PROP& prop);

    // IVdsControllerPort
    HRESULT GetProperties(VDS_PORT_PROP* pPortProp) override;
    HRESULT GetController(IVdsController** ppController) override;
    HRESULT QueryAssociatedLuns(IEnumVdsObject** ppEnum) override;
    HRESULT Reset() override { return VDS_E_NOT_SUPPORTED; }
    HRESULT SetStatus(VDS_PORT_STATUS) override { return VDS_E_NOT_SUPPORTED; }

private:
    HRESULT lookUpController(IVdsController** ppController);

    Merrow::UserAgent::Service_PhysicalPort m_Port;
    VDS_OBJECT_ID m_SubSystemId{};
    VDS_OBJECT_ID m_ControllerId{};
};
