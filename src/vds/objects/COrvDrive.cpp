#include "vds/objects/COrvDrive.h"

#include "trace/Trace.h"
#include "user_agent/services/Service_Extent.h"

using namespace Merrow::UserAgent;

HRESULT COrvDrive::queryExtents()
{
    MWSCOPE_OBJ(this, "");
    VDSScopedLock lock(this);
    std::vector<Service_Extent> extents;
    const MerrowReturnValue result = m_Service.GetExtents(extents);
    if (result.isFailure()) {
        MWTRACE(Merrow::Trace::TV_WARNING, Merrow::Trace::TC_VDS_DISK)
            << "GetExtents failed with return: " << result.getCode() << MWENDREC;
        return E_FAIL;
    }
    m_Extents = std::move(extents);
    return S_OK;
}

std::size_t COrvDrive::ExtentCount()
{
    VDSScopedLock lock(this);
    return m_Extents.size();
}

void COrvDrive::InitializeFlags()
{
    VDSScopedLock lock(this);
    m_ulFlags = 0;
}

ULONG COrvDrive::Flags()
{
    VDSScopedLock lock(this);
    return m_ulFlags;
}

VdsOrderKeyOutcome COrvDrive::ReadOrderKey(int& key, std::string& failureText)
{
    VDSScopedLock lock(this);
    if (!m_Service.IsValid())
        return VdsOrderKeyOutcome::NoServiceObject;
    std::uint16_t slot = 0;
    const MerrowReturnValue result = m_Service.GetSlotNumber(slot);
    if (result.isFailure()) {
        failureText = result.getMessage();
        return VdsOrderKeyOutcome::Failed;
    }
    key = slot;
    return VdsOrderKeyOutcome::Read;
}
