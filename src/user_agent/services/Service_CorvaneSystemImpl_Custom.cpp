#include "user_agent/services/Service_CorvaneSystemImpl.h"

#include "trace/Trace.h"
#include "user_agent/base/VolumeCompositionRules.h"
#include "user_agent/services/ServiceRootPaths.h"
#include "user_agent/services/Service_Disk.h"
#include "user_agent/services/Service_DiskImpl.h"
#include "user_agent/services/Service_Initiator.h"
#include "user_agent/services/Service_InitiatorImpl.h"
#include "user_agent/services/Service_Volume.h"
#include "user_agent/services/Service_VolumeImpl.h"

namespace Merrow::UserAgent {

using namespace Merrow::Trace;

MerrowReturnValue Service_CorvaneSystemImpl::CreateVolume(
    const std::string& name, std::uint64_t sizeInBytes,
    const UAEnums::VolumeCompositionName& compositionName, const std::vector<Service_Disk>& disks,
    std::uint8_t stripeWidth, std::uint32_t stripeDepth, Service_Volume& newVolume) {
    ScopedLock lock(*this);
    const MerrowReturnValue result = CreateVolumeLocked(name, sizeInBytes, compositionName, disks,
                                                        stripeWidth, stripeDepth, newVolume);
    if (result.isFailure())
        MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
            << "CreateVolume(\"" << name << "\") FAILED! rtn=" << result << MWENDREC;
    return result;
}

// Every check comes before the first request, so a refused layout leaves the array alone.
MerrowReturnValue Service_CorvaneSystemImpl::CreateVolumeLocked(
    const std::string& name, std::uint64_t sizeInBytes,
    const UAEnums::VolumeCompositionName& compositionName, const std::vector<Service_Disk>& disks,
    std::uint8_t stripeWidth, std::uint32_t stripeDepth, Service_Volume& newVolume) {
    std::uint8_t width = stripeWidth;
    MerrowReturnValue result = VolumeCompositionRules::CheckStripeWidth(compositionName, width);
    if (result.isFailure())
        return result;
    std::vector<cim::CIMObjectPath> diskPaths;
    result = ServiceRootPaths::Collect("CreateVolume", disks, diskPaths);
    if (result.isFailure())
        return result;
    cim::CIMObjectPath volumePath;
    result = m_CorvaneSystem.CreateVolume(name, sizeInBytes, compositionName, diskPaths, width,
                                          stripeDepth, GetBasePoolObjectPath(),
                                          GetAvailPoolObjectPath(), volumePath);
    if (result.isFailure())
        return result;
    return NewVolumeService(volumePath, newVolume);
}

MerrowReturnValue Service_CorvaneSystemImpl::NewVolumeService(const cim::CIMObjectPath& volumePath,
                                                              Service_Volume& newVolume) {
    const MerrowReturnValue result = MakeService(volumePath, newVolume);
    if (!result.isFailure())
        return result;
    if (result.getCode() != MerrowReturnValue::UA_E_SERVICE_REMOVED)
        MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
            << " Error - Service_Volume.Init() failed for ObjectPath=" << volumePath.toString()
            << MWENDREC;
    MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
        << "SERVICE_FROM_OBJECTPATH for newVolumeObjectPath=\"" << volumePath.toString()
        << "\" FAILED! rtn=" << result << MWENDREC;
    return result;
}

MerrowReturnValue Service_CorvaneSystemImpl::AddInitiator(const std::string& name,
                                                         Service_Initiator& initiator) {
    ScopedLock lock(*this);
    cim::CIMObjectPath initiatorPath;
    MerrowReturnValue result = m_CorvaneSystem.AddInitiator(name, initiatorPath);
    // A refusal (UA_S_FALSE with the array's number) leaves nothing to hand out.
    if (result.getCode() != MerrowReturnValue::UA_S_OK)
        return result;
    return NewInitiatorService(name, initiatorPath, initiator);
}

MerrowReturnValue Service_CorvaneSystemImpl::NewInitiatorService(
    const std::string& name, const cim::CIMObjectPath& initiatorPath, Service_Initiator& initiator) {
    const MerrowReturnValue result = MakeService(initiatorPath, initiator);
    if (result.isFailure()) {
        MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
            << "SERVICE_FROM_OBJECTPATH for initiatorPath=\"" << initiatorPath.toString()
            << "\" FAILED! rtn=" << result << MWENDREC;
        MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
            << "AddInitiator(\"" << name << "\") FAILED! rtn=" << result << MWENDREC;
    }
    return result;
}

MerrowReturnValue Service_CorvaneSystemImpl::GetMaxVolumeSize(
    const UAEnums::VolumeCompositionName& compositionName, const std::vector<Service_Disk>& disks,
    std::uint8_t stripeWidth, std::uint32_t stripeDepth, StorageSize& sizeInBytes) {
    ScopedLock lock(*this);
    std::vector<cim::CIMObjectPath> diskPaths;
    MerrowReturnValue result = ServiceRootPaths::Collect("GetMaxVolumeSize", disks, diskPaths);
    if (result.isFailure())
        return result;
    std::uint64_t bytes = 0;
    result = m_CorvaneSystem.GetMaxVolumeSize(compositionName, diskPaths, stripeWidth, stripeDepth,
                                              GetBasePoolObjectPath(), bytes);
    if (result.isFailure()) {
        MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
            << "GetMaxVolumeSize() FAILED! rtn=" << result.getCodeName() << MWENDREC;
        return result;
    }
    sizeInBytes = StorageSize(bytes);
    return result;
}

MerrowReturnValue Service_CorvaneSystemImpl::GetMaxVolumeStripeWidth(
    const UAEnums::VolumeCompositionName& compositionName, std::uint8_t& stripeWidth) {
    return VolumeCompositionRules::GetMaxStripeWidth(compositionName, stripeWidth);
}

} // namespace Merrow::UserAgent
