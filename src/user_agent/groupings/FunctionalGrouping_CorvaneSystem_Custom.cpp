#include "user_agent/groupings/FunctionalGrouping_CorvaneSystem.h"

#include "trace/Trace.h"
#include "user_agent/groupings/GroupingAction.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"
#include "user_agent/profiles/BasePoolDriveTransfer.h"
#include "user_agent/profiles/ExecResult.h"

namespace Merrow::UserAgent {

namespace {

// Mirrored compositions keep two copies; the array expects the count with every layout.
constexpr std::uint8_t kMirrorCount = 2;
// The IDType of an initiator known by its iSCSI name.
constexpr std::uint16_t kIdTypeIscsiName = 5;

std::uint16_t OrganizationOf(const UAEnums::VolumeCompositionName& composition) {
    return static_cast<std::uint16_t>(composition.getValue());
}

} // namespace

MerrowReturnValue FunctionalGrouping_CorvaneSystem::Shutdown(bool restart) {
    MWSCOPE_OBJ(this, restart ? "restart" : "");
    const std::string call = std::string("m_Merrow_StorageConfigurationService.ExecInitiateShutdown(") +
                             (restart ? "True" : "False") + ")";
    return GroupingAction(*this, call).Run([&] {
        return m_Merrow_StorageConfigurationService.ExecInitiateShutdown(restart);
    });
}

MerrowReturnValue FunctionalGrouping_CorvaneSystem::AddInitiator(const std::string& name,
                                                                cim::CIMObjectPath& initiator) {
    MWSCOPE_OBJ(this, name.c_str());
    ScopedLock lock(*this);
    const std::uint32_t execRtn =
        m_CIM_StorageHardwareIDManagementService.ExecCreateStorageHardwareID(
            name, name, kIdTypeIscsiName, "", cim::CIMObjectPath(), initiator);
    if (!ExecResult::Succeeded(execRtn)) {
        MWTRACE(Trace::TV_SEVERE, Trace::TC_ERROR_PEGASUS_CALL_FAILED)
            << "execRtn = ExecCreateStorageHardwareID(\"" << name
            << "\", Uint16(5), ...) FAILED with execRtn=" << execRtn
            << " returnedPath=" << initiator.toString() << MWENDREC;
        MerrowReturnValue refused(MerrowReturnValue::UA_S_FALSE);
        refused.setFailureCode(static_cast<std::int32_t>(execRtn));
        return refused;
    }
    if (!initiator.getClassName().isNull())
        CIM_ObjectContainerInterface::InvalidateCacheForClassname(initiator.getClassName());
    return MerrowReturnValue();
}

MerrowReturnValue FunctionalGrouping_CorvaneSystem::CreateVolume(
    const std::string& name, std::uint64_t sizeInBytes,
    const UAEnums::VolumeCompositionName& composition, const std::vector<cim::CIMObjectPath>& disks,
    std::uint8_t stripeWidth, std::uint32_t stripeDepth, const cim::CIMObjectPath& basePool,
    const cim::CIMObjectPath& availablePool, cim::CIMObjectPath& newVolume) {
    MWSCOPE_OBJ(this, name.c_str());
    ScopedLock lock(*this);
    MerrowReturnValue result =
        BasePoolDriveTransfer(*this, GetConnection(), m_Merrow_StorageConfigurationService)
            .Run(disks, basePool, availablePool);
    if (result.isFailure())
        return result;
    std::uint64_t size = sizeInBytes;
    cim::CIMObjectPath job;
    const std::uint32_t execRtn = m_Merrow_StorageConfigurationService.ExecCreateVolume(
        name, size, stripeDepth, stripeWidth, kMirrorCount, basePool, OrganizationOf(composition),
        disks, newVolume, job);
    result = ExecResult::Check(
        execRtn, "execRtn=storageCapabilities.ExecCreateVolume() failed. execRtn=");
    if (!result.isFailure() && !newVolume.getClassName().isNull())
        CIM_ObjectContainerInterface::InvalidateCacheForClassname(newVolume.getClassName());
    return result;
}

MerrowReturnValue FunctionalGrouping_CorvaneSystem::GetMaxVolumeSize(
    const UAEnums::VolumeCompositionName& composition, const std::vector<cim::CIMObjectPath>& disks,
    std::uint8_t stripeWidth, std::uint32_t stripeDepth, const cim::CIMObjectPath& basePool,
    std::uint64_t& sizeInBytes) {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    std::uint64_t maxVolumeSize = 0;
    const std::uint32_t execRtn = m_Merrow_StorageConfigurationService.ExecGetMaxiumumVolumeSize(
        stripeDepth, stripeWidth, kMirrorCount, OrganizationOf(composition), basePool, disks,
        maxVolumeSize);
    const MerrowReturnValue result = ExecResult::Check(
        execRtn, "execRtn=storageCapabilities.ExecGetMaxiumumVolumeSize() failed. execRtn=");
    if (!result.isFailure())
        sizeInBytes = maxVolumeSize;
    return result;
}

} // namespace Merrow::UserAgent
