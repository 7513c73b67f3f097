#include "user_agent/services/Service_VolumeImpl.h"

#include "user_agent/services/ServiceRootPaths.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskImpl.h"
#include "user_agent/services/Service_Task.h"

namespace Merrow::UserAgent {

MerrowReturnValue Service_VolumeImpl::GetSize(StorageSize& size) {
    ScopedLock lock(*this);
    std::uint64_t bytes = 0;
    const MerrowReturnValue result = m_StorageVolume.GetSize(bytes);
    if (!result.isFailure())
        size = StorageSize(bytes);
    return result;
}

// Answered without a request: a volume's jobs are reached through the array's task list
// (Service_TaskList) instead.
MerrowReturnValue Service_VolumeImpl::GetCurrentTasks(std::vector<Service_Task>& /*tasks*/) {
    return MerrowReturnValue(MerrowReturnValue::UA_E_NOTIMPL);
}

MerrowReturnValue Service_VolumeImpl::GetMaxGrowSize(const std::vector<Service_Disk>& disksToUse,
                                                     StorageSize& growSize) {
    ScopedLock lock(*this);
    std::vector<cim::CIMObjectPath> diskPaths;
    MerrowReturnValue result = ServiceRootPaths::Collect("GetMaxGrowSize", disksToUse, diskPaths);
    if (result.isFailure())
        return result;
    std::uint64_t bytes = 0;
    result = m_StorageVolume.GetMaxGrowSize(diskPaths, bytes);
    if (!result.isFailure())
        growSize = StorageSize(bytes);
    return result;
}

MerrowReturnValue Service_VolumeImpl::Reconfigure(
    std::uint64_t sizeInBytes, const UAEnums::VolumeCompositionName& compositionName,
    const std::vector<Service_Disk>& disks, std::uint8_t stripeWidth, std::uint32_t stripeDepth) {
    ScopedLock lock(*this);
    std::vector<cim::CIMObjectPath> diskPaths;
    const MerrowReturnValue result = ServiceRootPaths::Collect("Reconfigure", disks, diskPaths);
    if (result.isFailure())
        return result;
    return m_StorageVolume.Reconfigure(sizeInBytes, compositionName, diskPaths, stripeWidth,
                                       stripeDepth, GetBasePoolObjectPath(),
                                       GetAvailPoolObjectPath());
}

} // namespace Merrow::UserAgent
