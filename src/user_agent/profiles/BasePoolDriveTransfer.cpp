#include "user_agent/profiles/BasePoolDriveTransfer.h"

#include "trace/Trace.h"
#include "user_agent/base/CIMObjectPathIdentity.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/objects/CIM_Object.h"
#include "user_agent/objects/CIM_ObjectList.h"
#include "user_agent/objects/wrappers/Merrow_StorageConfigurationService.h"

#include <algorithm>
#include <cstdio>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

CIM_AssociationSpec Step(const char* association, const char* result) {
    return CIM_AssociationSpec{cim::CIMName(association), cim::CIMName(result)};
}

} // namespace

BasePoolDriveTransfer::BasePoolDriveTransfer(const MerrowProfileInterface& profile,
                                             CorvaneConnectionWeakRef connection,
                                             Merrow_StorageConfigurationService& service)
    : m_profile(profile), m_connection(std::move(connection)), m_service(service) {}

MerrowReturnValue BasePoolDriveTransfer::Run(const std::vector<cim::CIMObjectPath>& disks,
                                             const cim::CIMObjectPath& basePool,
                                             const cim::CIMObjectPath& availablePool) {
    MWSCOPE("");
    for (const cim::CIMObjectPath& disk : disks) {
        cim::CIMObjectPath extent;
        if (!FindExtent(disk, extent)) {
            MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
                << "extentToUse(disksToUse[diskNum],CIM_AssociationSpec(CIM_MediaPresent,"
                   "CIM_StorageExtent)) failed to fetch instance."
                << MWENDREC;
            return MerrowReturnValue::UA_E_UNEXPECTED;
        }
        // Asked again for every disk: the transfer of the previous one changed the pool.
        const auto available = AvailablePoolExtents(availablePool);
        const bool inAvailablePool =
            std::any_of(available.begin(), available.end(), [&](const cim::CIMObjectPath& path) {
                return IsSameObjectPath(path, extent);
            });
        if (inAvailablePool)
            Transfer(basePool, disk);
    }
    return MerrowReturnValue();
}

bool BasePoolDriveTransfer::FindExtent(const cim::CIMObjectPath& disk, cim::CIMObjectPath& extent) {
    CIM_Object extentToUse(&m_profile, disk, {Step("CIM_MediaPresent", "CIM_StorageExtent")});
    extentToUse.SetConnection(m_connection);
    extentToUse.FetchData(true);
    if (!extentToUse.IsDataValid())
        return false;
    extent = extentToUse.GetCIMObjectPath();
    return true;
}

std::vector<cim::CIMObjectPath>
BasePoolDriveTransfer::AvailablePoolExtents(const cim::CIMObjectPath& availablePool) {
    CIM_ObjectList extents(&m_profile, availablePool,
                           {Step("CIM_ConcreteComponent", "CIM_StorageExtent")});
    extents.SetConnection(m_connection);
    extents.FetchData(true);
    std::vector<cim::CIMObjectPath> paths;
    for (const cim::CIMObject& object : extents.GetObjects())
        paths.push_back(object.getPath());
    return paths;
}

void BasePoolDriveTransfer::Transfer(const cim::CIMObjectPath& basePool,
                                     const cim::CIMObjectPath& disk) {
    const std::uint32_t execRtn = m_service.ExecTransferDriveByRef(basePool, disk);
    if (execRtn == 0)
        return;
    const std::string pool = basePool.toString();
    const std::string drive = disk.toString();
    char code[64];
    std::snprintf(code, sizeof code, "failed with return = 0x%lX ",
                  static_cast<unsigned long>(execRtn));
    const std::string message =
        "ExecTransferDriveByRef( pool=" + pool + "disk=" + drive + " );" + code;
    MWTRACE(TV_SEVERE, TC_ERROR_PEGASUS_CALL_FAILED) << message << MWENDREC;
    throw MWEPegasusClientRequest(message, __FILE__, __LINE__, __PRETTY_FUNCTION__);
}

} // namespace Merrow::UserAgent
