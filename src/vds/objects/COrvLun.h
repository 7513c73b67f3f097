// COrvLun: the VDS LUN object of one volume of an array. The refresh makes it and gives it
// the volume's facade; the LUN list orders LUNs by the durable name read here. Its other
// VDS operations (properties, extend, masking, plexes, ...) answer E_NOTIMPL until they
// are written.
#pragma once

#include "platform/com/CComObject.h"
#include "user_agent/services/Service_Volume.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/framework/VdsOrderKeySource.h"
#include "vds/objects/CVdsArrayObject.h"

class COrvLun : public CComObjectRootEx,
                public IVdsLun,
                public IVdsLunNaming,
                public IVdsLunIscsi,
                public IOrvLun,
                public CVdsArrayObject<COrvLun, Merrow::UserAgent::Service_Volume, VDS_OT_LUN>,
                public VdsOrderKeySource<std::string> {
public:
    using ComMap = ComInterfaceMap<IVdsLun, IVdsLunNaming, IVdsLunIscsi, IOrvLun>;

    std::string className() const override { return "COrvLun"; }

    // The LUN's service and subsystem, and the unmasking list its creator asked for (null
    // for a LUN found on the array).
    void SetService(const Merrow::UserAgent::Service_Volume& service,
                    const VDS_OBJECT_ID& subSystemId, LPWSTR pwszUnmaskingList);
    using CVdsArrayObject::SetService;

    VdsOrderKeyOutcome ReadOrderKey(std::string& key, std::string& failureText) override;

    // IVdsLun
    HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) override
    {
        return LookUpSubSystem(ppSubSystem);
    }
    HRESULT GetProperties(VDS_LUN_PROP*) override { return E_NOTIMPL; }
    HRESULT GetIdentificationData(VDS_LUN_INFORMATION*) override { return E_NOTIMPL; }
    HRESULT QueryActiveControllers(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT Extend(ULONGLONG, VDS_OBJECT_ID*, LONG, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT Shrink(ULONGLONG, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT QueryPlexes(IEnumVdsObject**) override { return E_NOTIMPL; }
    HRESULT AddPlex(VDS_OBJECT_ID, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT RemovePlex(VDS_OBJECT_ID, IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT Recover(IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT SetMask(LPWSTR pwszUnmaskingList) override; // COrvLun_Masking.cpp
    HRESULT Delete() override { return E_NOTIMPL; }
    HRESULT AssociateControllers(VDS_OBJECT_ID*, LONG, VDS_OBJECT_ID*, LONG) override
    {
        return E_NOTIMPL;
    }
    HRESULT QueryHints(VDS_HINTS*) override { return E_NOTIMPL; }
    HRESULT ApplyHints(VDS_HINTS*) override { return E_NOTIMPL; }
    HRESULT SetStatus(VDS_LUN_STATUS) override { return E_NOTIMPL; }
    HRESULT QueryMaxLunExtendSize(VDS_OBJECT_ID*, LONG, ULONGLONG*) override { return E_NOTIMPL; }

    // IVdsLunNaming
    HRESULT SetFriendlyName(LPWSTR) override { return E_NOTIMPL; }

    // IVdsLunIscsi
    HRESULT AssociateTargets(VDS_OBJECT_ID* pTargetIdArray, LONG lNumberOfTargets) override;
    HRESULT QueryAssociatedTargets(IEnumVdsObject** ppTargetEnum) override;

    // The unmasking list as the array has it: the iSCSI names of the initiators granted
    // access to the volume's target, ";"-separated; when none is, the list the LUN was last
    // given. Empty for none. COrvLun_Masking.cpp.
    std::u16string UnmaskingList();

private:
    std::u16string m_UnmaskingList;
};
