// COrvController: the VDS controller object of one controller of an array. The refresh
// makes it and gives it the controller's facade; its VDS operations (properties, ports,
// cache, reset, status) are the controller's own and answer E_NOTIMPL until they are
// written.
#pragma once

#include "platform/com/CComObject.h"
#include "trace/Trace.h"
#include "user_agent/services/Service_Controller.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/objects/CVdsArrayObject.h"

class COrvController
    : public CComObjectRootEx,
      public IVdsController,
      public IVdsControllerControllerPort,
      public IOrvController,
      public CVdsArrayObject<COrvController, Merrow::UserAgent::Service_Controller,
                             VDS_OT_CONTROLLER> {
public:
    using ComMap = ComInterfaceMap<IVdsController, IVdsControllerControllerPort, IOrvController>;

    std::string className() const override { return "COrvController"; }

    // IVdsController
    HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) override
    {
        return LookUpSubSystem(ppSubSystem);
    }
    HRESULT GetProperties(VDS_CONTROLLER_PROP*) override { return E_NOTIMPL; }
    HRESULT GetPortProperties(SHORT, VDS_PORT_PROP*) override { return E_NOTIMPL; }
    HRESULT FlushCache() override { return E_NOTIMPL; }
    HRESULT InvalidateCache() override { return E_NOTIMPL; }
    HRESULT Reset() override { return E_NOTIMPL; }
    HRESULT QueryAssociatedLuns(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT SetStatus(VDS_CONTROLLER_STATUS) override { return E_NOTIMPL; }

    // IVdsControllerControllerPort
    HRESULT QueryControllerPorts(IEnumVdsObject**) override { return E_NOTIMPL; }
};
