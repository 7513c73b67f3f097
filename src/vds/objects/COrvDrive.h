// COrvDrive: the VDS drive object of one disk of an array. The refresh makes it, gives it
// the disk's facade and reads its extents once; the drive list orders drives by the slot
// number read here.
//
// It reports the disk's properties and the extents that tie it to the LUNs, carries the
// hot-spare flag (a mark of the provider's, kept on the object, see SetFlags), and turns
// VDS status requests into the array's drive initialisation ("online") and removal
// ("offline").
//
// Threads: VDS's COM threads and the provider's background thread. The drive lock (400)
// guards the handle, the extents read by the refresh and the flags. QueryExtents walks
// the subsystem's LUNs, so it takes the provider and subsystem locks before the drive's.
#pragma once

#include "platform/com/CComObject.h"
#include "platform/vds/VdsErrors.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_Extent.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/framework/VdsOrderKeySource.h"
#include "vds/objects/CVdsArrayObject.h"
#include "vds/objects/CVdsNoMaintenance.h"
#include "vds/objects/Extent.h"

#include <vector>

class COrvSubSystem;

class COrvDrive
    : public CComObjectRootEx,
      public IVdsDrive,
      public CVdsNoMaintenance,
      public IOrvDrive,
      public CVdsArrayObject<COrvDrive, Merrow::UserAgent::Service_Disk, VDS_OT_DRIVE>,
      public VdsOrderKeySource<int> {
public:
    using ComMap = ComInterfaceMap<IVdsDrive, IVdsMaintenance, IOrvDrive>;

    std::string className() const override { return "COrvDrive"; }

    // Reads the disk's extents from the array; the count is kept for the drive's own
    // operations. The refresh calls it once the service is set.
    HRESULT queryExtents();
    std::size_t ExtentCount();
    // The drive's flags (VDS_DRF_...); the refresh starts them cleared.
    void InitializeFlags();
    ULONG Flags();
    void SetHotSpare(bool hotSpare);

    // The used extents of the disk, each with the LUN (and that LUN's plex) using it. The
    // caller holds the provider and subsystem locks; the LUNs are reconciled first.
    HRESULT queryExtents(COrvSubSystem& subsystem, std::vector<Extent>& extents);

    VdsOrderKeyOutcome ReadOrderKey(int& key, std::string& failureText) override;

    // IVdsDrive
    HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) override
    {
        return LookUpSubSystem(ppSubSystem);
    }
    HRESULT GetProperties(VDS_DRIVE_PROP* pDriveProp) override;
    HRESULT QueryExtents(VDS_DRIVE_EXTENT** ppExtentArray, LONG* plNumberOfExtents) override;
    HRESULT SetFlags(ULONG ulFlags) override;
    HRESULT ClearFlags(ULONG ulFlags) override;
    HRESULT SetStatus(VDS_DRIVE_STATUS status) override;


private:
    HRESULT getDriveProperties(VDS_DRIVE_PROP& prop);
    HRESULT getDriveSpace(ULONGLONG& size);
    HRESULT setDriveStatus(VDS_DRIVE_STATUS status);
    // SetFlags and ClearFlags: the hot-spare marking of the subsystem, re-run with a limit
    // one above (`raise`) or one below the subsystem's spare count.
    HRESULT changeHotSpare(ULONG ulFlags, bool raise);
    VDS_DRIVE_STATUS statusFromPool();
    VDS_HEALTH healthFromDisk();

    std::vector<Merrow::UserAgent::Service_Extent> m_Extents;
    ULONG m_ulFlags = 0;
};
