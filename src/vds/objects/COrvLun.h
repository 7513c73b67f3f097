// COrvLun: the VDS LUN object of one volume of an array. The refresh or the subsystem's
// LUN creation makes it and gives it the volume's facade; the LUN list orders LUNs by the
// durable name read here. Properties, identification and naming are in
// COrvLun_Properties.cpp; extend, delete, hints and status in COrvLun_Changes.cpp; the
// unmasking list and the LUN's target in COrvLun_Masking.cpp; its plexes in
// COrvLun_Plexes.cpp.
//
// Lock order: the provider, the subsystem, then this LUN (VDSScopedLock); operations that
// need the subsystem take its lock before the LUN's.
#pragma once

#include "platform/com/CComObject.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_Volume.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/framework/VdsLunPlexList.h"
#include "user_agent/services/Service_VolumeComposition.h"
#include "user_agent/services/Service_iSCSITarget.h"
#include "vds/objects/COrvLunPlex.h"
#include "vds/framework/VdsOrderKeySource.h"
#include "vds/objects/CVdsArrayObject.h"
#include "vds/objects/HeldFacade.h"

#include <string>
#include <vector>

class COrvSubSystem;

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
    HRESULT GetProperties(VDS_LUN_PROP* pLunProp) override;
    HRESULT GetIdentificationData(VDS_LUN_INFORMATION* pLunInfo) override;
    HRESULT QueryActiveControllers(IEnumVdsObject** ppEnum) override;
    HRESULT Extend(ULONGLONG ullNumberOfBytesToAdd, VDS_OBJECT_ID* pDriveIdArray,
                   LONG lNumberOfDrives, IVdsAsync** ppAsync) override;
    HRESULT Shrink(ULONGLONG ullNumberOfBytesToRemove, IVdsAsync** ppAsync) override;
    HRESULT QueryPlexes(IEnumVdsObject** ppEnum) override;
    HRESULT AddPlex(VDS_OBJECT_ID lunId, IVdsAsync** ppAsync) override;
    HRESULT RemovePlex(VDS_OBJECT_ID plexId, IVdsAsync** ppAsync) override;
    HRESULT Recover(IVdsAsync** ppAsync) override;
    HRESULT SetMask(LPWSTR pwszUnmaskingList) override; // COrvLun_Masking.cpp
    HRESULT Delete() override;
    HRESULT AssociateControllers(VDS_OBJECT_ID*, LONG, VDS_OBJECT_ID*, LONG) override;
    HRESULT QueryHints(VDS_HINTS* pHints) override;
    HRESULT ApplyHints(VDS_HINTS* pHints) override;
    HRESULT SetStatus(VDS_LUN_STATUS status) override;
    HRESULT QueryMaxLunExtendSize(VDS_OBJECT_ID* pDriveIdArray, LONG lNumberOfDrives,
                                  ULONGLONG* pullMaxBytesToBeAdded) override;

    // IVdsLunNaming
    HRESULT SetFriendlyName(LPWSTR pwszFriendlyName) override;

    // IVdsLunIscsi
    HRESULT AssociateTargets(VDS_OBJECT_ID* pTargetIdArray, LONG lNumberOfTargets) override;
    HRESULT QueryAssociatedTargets(IEnumVdsObject** ppTargetEnum) override;

    // The unmasking list as the array has it: the iSCSI names of the initiators granted
    // access to the volume's target, ";"-separated; when none is, the list the LUN was last
    // given. Empty for none. COrvLun_Masking.cpp.
    std::u16string UnmaskingList();

    // ---- for the subsystem and the masking code ------------------------------------------

    // The record behind GetProperties, its strings in task memory. E_FAIL when the
    // volume's status cannot be read.
    HRESULT GetLunProperties(VDS_LUN_PROP* pLunProp);
    // Frees what GetIdentificationData handed out and zeroes the record.
    static void FreeIdentificationData(VDS_LUN_INFORMATION& info);
    // The initiators the unmasking list of the properties names when the array's target
    // reports none.
    void RememberMaskNames(std::vector<std::string> names);
    std::vector<std::string> MaskNames();

    // ---- plexes (COrvLun_Plexes.cpp) -------------------------------------------------------
    // A Mirror LUN has one plex, made the first time it is asked for; other LUNs have none.
    // The plex list is guarded by the LUN lock.
    HRESULT FetchPlexes();
    // The id of the LUN's plex; the null GUID for a LUN without one.
    VDS_OBJECT_ID PlexId();
    // The LUN list asks its LUNs for the plexes it does not hold itself.
    HRESULT GetSubObject(VDS_OBJECT_ID id, VDS_OBJECT_TYPE type, IUnknown** ppUnk);

private:
    // The ";"-joined unmasking list of the properties; empty for none. LUN lock held.
    // COrvLun_Masking.cpp.
    std::string unmaskingListLocked();
    void fillStatusLocked(VDS_LUN_PROP& prop, HRESULT& result);
    VDS_LUN_TYPE lunTypeLocked();
    // The disks of the drives VDS named, through the subsystem. Subsystem lock held, the
    // LUN's not.
    HRESULT drivesToDisks(COrvSubSystem* subsystem, const VDS_OBJECT_ID* pDriveIdArray,
                          LONG lNumberOfDrives,
                          std::vector<Merrow::UserAgent::Service_Disk>& disks);
    HRESULT reconfigureTo(std::uint64_t newSize,
                          const std::vector<Merrow::UserAgent::Service_Disk>& disks);

    // The volume's layout and target, held between property reads (HeldFacade.h); made
    // again for a new volume facade and, for the target, after SetMask changed its grants.
    // LUN lock held.
    const Merrow::UserAgent::Service_VolumeComposition& layoutLocked();
    const Merrow::UserAgent::Service_iSCSITarget& targetLocked();

    // Guarded by the LUN lock.
    std::vector<std::string> m_MaskNames;
    VdsLunPlexList m_PlexList;
    HeldFacade<Merrow::UserAgent::Service_VolumeComposition> m_Layout;
    HeldFacade<Merrow::UserAgent::Service_iSCSITarget> m_Target;
};
