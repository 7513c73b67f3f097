// COrvController: the VDS controller object of one controller of an array. The refresh
// makes it and gives it the controller's facade.
//
// It reports the controller's properties and its Ethernet ports (read once, each with a
// GUID of its own for the object's life), restarts or shuts down the controller on
// request, and answers the cache and maintenance operations with VDS_E_NOT_SUPPORTED: the
// array offers none of them.
//
// Threads: VDS's COM threads. The controller lock (300) guards the handle, the ports and
// their objects; QueryAssociatedLuns takes the provider and subsystem locks first.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/vds/VdsErrors.h"
#include "trace/Trace.h"
#include "user_agent/services/Service_Controller.h"
#include "user_agent/services/Service_PhysicalPort.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/framework/VdsControllerPortList.h"
#include "vds/objects/COrvControllerPort.h"
#include "vds/objects/CVdsArrayObject.h"
#include "vds/objects/CVdsNoMaintenance.h"

#include <vector>

class COrvController
    : public CComObjectRootEx,
      public IVdsController,
      public IVdsControllerControllerPort,
      public CVdsNoMaintenance,
      public IOrvController,
      public CVdsArrayObject<COrvController, Merrow::UserAgent::Service_Controller,
                             VDS_OT_CONTROLLER> {
public:
    using ComMap = ComInterfaceMap<IVdsController, IVdsControllerControllerPort,
                                   IVdsMaintenance, IOrvController>;

    std::string className() const override { return "COrvController"; }

    // VDS_CS_ONLINE: nothing to do. VDS_CS_OFFLINE: the controller is shut down, and the
    // answer is VDS_E_NOT_SUPPORTED whatever the array said, since VDS cannot bring it
    // back. E_INVALIDARG for any other status.
    HRESULT setControllerStatus(VDS_CONTROLLER_STATUS status);

    // IVdsController
    HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) override
    {
        return LookUpSubSystem(ppSubSystem);
    }
    HRESULT GetProperties(VDS_CONTROLLER_PROP* pControllerProp) override;
    HRESULT GetPortProperties(SHORT sPortNumber, VDS_PORT_PROP* pPortProp) override;
    HRESULT FlushCache() override { return VDS_E_NOT_SUPPORTED; }
    HRESULT InvalidateCache() override { return VDS_E_NOT_SUPPORTED; }
    HRESULT Reset() override;
    HRESULT QueryAssociatedLuns(IEnumVdsObject** ppEnum) override;
    HRESULT SetStatus(VDS_CONTROLLER_STATUS status) override;

    // IVdsControllerControllerPort
    HRESULT QueryControllerPorts(IEnumVdsObject** ppEnum) override;

    // A port of this controller, for the provider's look-up by id.
    HRESULT GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk);

private:
    HRESULT getControllerProperties(VDS_CONTROLLER_PROP& prop);
    // Reads the ports and makes their port objects the first time; the controller lock is
    // held.
    HRESULT readPortsLocked();
    HRESULT addPortLocked(const Merrow::UserAgent::Service_PhysicalPort& port);

    std::vector<Merrow::UserAgent::Service_PhysicalPort> m_Ports;
    // Index-parallel to m_Ports: the id of each port's object in m_PortList.
    std::vector<VDS_OBJECT_ID> m_PortIds;
    VdsControllerPortList m_PortList;
    bool m_PortsRead = false;
};
