// COrvDrive: the VDS drive object of one disk of an array. The refresh makes it, gives it
// the disk's facade and reads its extents once; the drive list orders drives by the slot
// number read here. Its other VDS operations answer E_NOTIMPL until they are written.
#pragma once

#include "platform/com/CComObject.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_Extent.h"
#include "vds/framework/OrvVdsInterfaces.h"
#include "vds/framework/VdsOrderKeySource.h"
#include "vds/objects/CVdsArrayObject.h"

#include <vector>

class COrvDrive
    : public CComObjectRootEx,
      public IVdsDrive,
      public IOrvDrive,
      public CVdsArrayObject<COrvDrive, Merrow::UserAgent::Service_Disk, VDS_OT_DRIVE>,
      public VdsOrderKeySource<int> {
public:
    using ComMap = ComInterfaceMap<IVdsDrive, IOrvDrive>;

    std::string className() const override { return "COrvDrive"; }

    // Reads the disk's extents from the array; the count is kept for the drive's own
    // operations. The refresh calls it once the service is set.
    HRESULT queryExtents();
    std::size_t ExtentCount();
    // The drive's flags (VDS_DF_...); the refresh starts them cleared.
    void InitializeFlags();
    ULONG Flags();

    VdsOrderKeyOutcome ReadOrderKey(int& key, std::string& failureText) override;

    // IVdsDrive
    HRESULT GetSubSystem(IVdsSubSystem** ppSubSystem) override
    {
        return LookUpSubSystem(ppSubSystem);
    }
    HRESULT GetProperties(VDS_DRIVE_PROP*) override { return E_NOTIMPL; }
    HRESULT QueryExtents(VDS_DRIVE_EXTENT**, LONG*) override { return E_NOTIMPL; }
    HRESULT SetFlags(ULONG) override { return E_NOTIMPL; }
    HRESULT ClearFlags(ULONG) override { return E_NOTIMPL; }
    HRESULT SetStatus(VDS_DRIVE_STATUS) override { return E_NOTIMPL; }

private:
    std::vector<Merrow::UserAgent::Service_Extent> m_Extents;
    ULONG m_ulFlags = 0;
};
