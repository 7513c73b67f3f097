#include "user_agent/profiles/Profile_Disk.h"

#include "trace/Trace.h"
#include "user_agent/profiles/ExecResult.h"

namespace Merrow::UserAgent {

namespace {

// The element type the array expects when asked to initialise a whole disk.
constexpr std::uint16_t kDiskElementType = 2;

} // namespace

MerrowReturnValue Profile_Disk::InitDrive() {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    cim::CIMObjectPath job;
    const std::uint32_t execRtn = m_Merrow_StorageConfigurationService.ExecInitializeStorageDevice(
        kDiskElementType, GetRootObjectPath(), job);
    return ExecResult::Check(execRtn,
                             "m_Merrow_StorageConfigurationService.ExecInitializeStorageDevice() for "
                             "disk=" + GetRootObjectPath().toString() + " FAILED with execRtn=");
}

MerrowReturnValue Profile_Disk::DownDrive() {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    cim::CIMObjectPath job;
    const std::uint32_t execRtn =
        m_Merrow_StorageConfigurationService.ExecRemoveStorageDevice(GetRootObjectPath(), job);
    return ExecResult::Check(execRtn,
                             "m_Merrow_StorageConfigurationService.ExecRemoveStorageDevice() for "
                             "disk=" + GetRootObjectPath().toString() + " FAILED with execRtn=");
}

} // namespace Merrow::UserAgent
