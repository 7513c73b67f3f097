// COrvLun: the VDS LUN object of one volume of an array. The refresh makes it and gives it
// the volume's facade; the LUN list orders LUNs by the durable name read here. Its other
// VDS operations (properties, extend, masking, plexes, ...) answer E_NOTIMPL until they
// are written.
#pragma once

#include "platform/com/CComObject.h"
#include "user_agent/services/Service_Volume.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/framework/VdsLunPlexList.h"
#include "vds/objects/COrvLunPlex.h"
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
    HRESULT QueryPlexes(IEnumVdsObject** ppEnum) override;
    HRESULT AddPlex(VDS_OBJECT_ID lunId, IVdsAsync** ppAsync) override;
    HRESULT RemovePlex(VDS_OBJECT_ID plexId, IVdsAsync** ppAsync) override;
    HRESULT Recover(IVdsAsync**) override { return E_NOTIMPL; }
    HRESULT SetMask(LPWSTR) override { return E_NOTIMPL; }
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
    HRESULT AssociateTargets(VDS_OBJECT_ID*, LONG) override { return E_NOTIMPL; }
    HRESULT QueryAssociatedTargets(IEnumVdsObject**) override { return E_NOTIMPL; }

    // ---- plexes (COrvLun_Plexes.cpp) -------------------------------------------------------
    // A Mirror LUN has one plex, made the first time it is asked for; other LUNs have none.
    // The plex list is guarded by the LUN lock.
    HRESULT FetchPlexes();
    // The id of the LUN's plex; the null GUID for a LUN without one.
    VDS_OBJECT_ID PlexId();
    // The LUN list asks its LUNs for the plexes it does not hold itself.
    HRESULT GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk);

private:
    std::u16string m_UnmaskingList;
    VdsLunPlexList m_PlexList;
};
