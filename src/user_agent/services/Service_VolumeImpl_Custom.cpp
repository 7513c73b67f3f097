#include "user_agent/services/Service_VolumeImpl.h"

#include "user_agent/services/ServiceRootPaths.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskImpl.h"
#include "user_agent/services/Service_Task.h"

namespace Merrow::UserAgent {

namespace {

// UAEnums::VolumeCompositionName "Parity".
constexpr std::int32_t kParityComposition = 5;
// No caller chooses a scan's priority; 0 leaves it at the array's ordinary one.
constexpr std::uint32_t kScanPriority = 0;
// UAEnums::RecurrencePeriodicity "None": a scan started now runs once.
constexpr std::int32_t kRunOnce = 1;

} // namespace

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

MerrowReturnValue Service_VolumeImpl::IntegrityScanNow() {
    ScopedLock lock(*this);
    // The zero interval asks the array to start without delay.
    return ScanLocked(cim::CIMDateTime(), UAEnums::RecurrencePeriodicity(kRunOnce), 0);
}

MerrowReturnValue Service_VolumeImpl::IntegrityScanAt(
    const DateTime& scheduledTime, const UAEnums::RecurrencePeriodicity& recurrenceSpec,
    std::uint16_t recurrenceInterval) {
    ScopedLock lock(*this);
    return ScanLocked(scheduledTime.toCIMDateTime(), recurrenceSpec, recurrenceInterval);
}

// The integrity check a volume's layout allows: a parity volume has its parity checked, which
// reads every block as well; the array refuses a parity scan of any other layout, so those get
// a media scan, which reads every block without a redundancy check.
MerrowReturnValue Service_VolumeImpl::ScanLocked(const cim::CIMDateTime& startTime,
                                                 const UAEnums::RecurrencePeriodicity& periodicityType,
                                                 std::uint16_t periodicity) {
    UAEnums::VolumeCompositionName composition;
    const MerrowReturnValue result = m_StorageVolume.GetCompositionName(composition);
    if (result.isFailure())
        return result;
    const auto type = static_cast<std::uint16_t>(periodicityType.toCIM());
    if (composition.getValue() == kParityComposition)
        return m_StorageVolume.ParityScan(kScanPriority, startTime, type, periodicity);
    return m_StorageVolume.MediaScan(kScanPriority, startTime, type, periodicity);
}

// The first "OperationalStatus" of the volume: its numbers are those of VolumeState (2 OK
// is Normal, 3 Degraded is Reduced, 6 Error is Failed); others, such as 8 while the array
// still builds the volume, leave the state UNKNOWN.
MerrowReturnValue Service_VolumeImpl::GetState(UAEnums::VolumeState& state) {
    ScopedLock lock(*this);
    std::vector<std::uint16_t> status;
    const MerrowReturnValue result = m_StorageVolume.Get_Volume_OperationalStatus(status);
    if (result.isFailure())
        return result;
    if (status.empty())
        return MerrowReturnValue(MerrowReturnValue::UA_E_CIM_ERR_FAILED, "Volume OperationalStatus array is empty");
    state = UAEnums::VolumeState();
    state.setFromCIM(status.front());
    return result;
}

} // namespace Merrow::UserAgent
