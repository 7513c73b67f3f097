#include "user_agent/profiles/Profile_BlockServices_Volume.h"

#include "trace/Trace.h"
#include "user_agent/base/CIMValueConversions.h"
#include "user_agent/base/MWExceptions.h"
#include "user_agent/base/VolumeCompositionRules.h"
#include "user_agent/objects/CIM_ObjectContainerInterface.h"
#include "user_agent/profiles/BasePoolDriveTransfer.h"
#include "user_agent/profiles/ExecResult.h"

#include <algorithm>

namespace Merrow::UserAgent {

namespace {

using namespace Merrow::Trace;

constexpr std::uint8_t kMirrorCount = 2;
constexpr std::uint16_t kElementTypeStorageVolume = 2;
constexpr std::uint32_t kSizeNotLarger = 5;
constexpr std::uint16_t kMediaScan = 2;
constexpr std::uint16_t kParityScan = 3;

// Reads that the array always answers for a volume or extent; a failure is a broken
// assumption, not something the caller can act on.
void Require(const MerrowReturnValue& read, const char* what) {
    if (!read.isFailure())
        return;
    MWTRACE(TV_ERROR, TC_ERROR_ASSERTION_FAILURE) << what << MWENDREC;
    throw MWEAssertionFailure(what, __FILE__, __LINE__, __PRETTY_FUNCTION__);
}

void Require(bool read, const char* what) {
    Require(read ? MerrowReturnValue() : MerrowReturnValue(MerrowReturnValue::UA_E_FAIL), what);
}

CIM_AssociationSpec Step(const char* association, const char* result) {
    return CIM_AssociationSpec{cim::CIMName(association), cim::CIMName(result)};
}

void AddUnique(std::vector<cim::CIMObjectPath>& paths, const cim::CIMObjectPath& path) {
    const std::string text = path.toString();
    const bool known = std::any_of(paths.begin(), paths.end(), [&](const cim::CIMObjectPath& p) {
        return p.toString() == text;
    });
    if (!known)
        paths.push_back(path);
}

std::uint64_t LeafBlocks(const cim::CIMObject& leaf) {
    const cim::CIMInstance& instance = leaf.getInstance();
    const bool present = instance.hasProperty(cim::CIMName("Size"));
    const std::optional<std::uint64_t> size =
        present ? CIMValueToUint64(instance.getPropertyValue(cim::CIMName("Size"))) : std::nullopt;
    Require(size.has_value(), "leafExtent.GetSize() FAILED!");
    return *size;
}

} // namespace

MerrowReturnValue Profile_BlockServices_Volume::Reconfigure(
    std::uint64_t sizeInBytes, const UAEnums::VolumeCompositionName& composition,
    const std::vector<cim::CIMObjectPath>& disks, std::uint8_t stripeWidth,
    std::uint32_t stripeDepth, const cim::CIMObjectPath& basePool,
    const cim::CIMObjectPath& availablePool) {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    MerrowReturnValue result =
        BasePoolDriveTransfer(*this, GetConnection(), m_Merrow_StorageConfigurationService)
            .Run(disks, basePool, availablePool);
    if (result.isFailure())
        return result;
    cim::CIMObjectPath shadowVolume;
    cim::CIMObjectPath job;
    std::uint64_t size = sizeInBytes;
    const std::uint32_t execRtn = m_Merrow_StorageConfigurationService.ExecReconfigureVolume(
        GetRootObjectPath(), size, stripeDepth, stripeWidth, kMirrorCount, basePool,
        static_cast<std::uint16_t>(composition.getValue()), disks, shadowVolume, job);
    result = ExecResult::Check(
        execRtn, "execRtn=storageCapabilities.ExecReconfigureVolume() failed. execRtn=");
    if (!result.isFailure() && !shadowVolume.getClassName().isNull())
        CIM_ObjectContainerInterface::InvalidateCacheForClassname(shadowVolume.getClassName());
    return result;
}

MerrowReturnValue Profile_BlockServices_Volume::GrowTo(std::uint64_t newSizeInBytes) {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    std::uint64_t size = newSizeInBytes;
    cim::CIMObjectPath element = GetRootObjectPath();
    cim::CIMObjectPath job;
    const std::uint32_t execRtn =
        m_Merrow_StorageConfigurationService.ExecCreateOrModifyElementFromStoragePool(
            "", kElementTypeStorageVolume, cim::CIMObjectPath(), size, cim::CIMObjectPath(),
            element, job);
    if (execRtn == kSizeNotLarger)
        return MerrowReturnValue(MerrowReturnValue::UA_E_INVALIDARG,
                                 "New volume size must be greater than current size");
    return ExecResult::Check(execRtn, "execRtn = ExecCreateOrModifyElementFromStoragePool() for "
                                      "'this' volume=" +
                                          GetRootObjectPath().toString() + " FAILED with execRtn=");
}

MerrowReturnValue Profile_BlockServices_Volume::Delete() {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    cim::CIMObjectPath job;
    const std::uint32_t execRtn =
        m_Merrow_StorageConfigurationService.ExecReturnToStoragePool(GetRootObjectPath(), job);
    const MerrowReturnValue result =
        ExecResult::Check(execRtn, "execRtn = ExecReturnToStoragePool() for 'this' volume=" +
                                       GetRootObjectPath().toString() + " FAILED with execRtn=");
    if (!result.isFailure())
        CIM_ObjectContainerInterface::InvalidateCacheForObjectPath(GetRootObjectPath());
    return result;
}

MerrowReturnValue Profile_BlockServices_Volume::GetSize(std::uint64_t& sizeInBytes) {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    std::uint64_t blockSize = 0;
    std::uint64_t blocks = 0;
    Require(Get_Volume_BlockSize(blockSize), "m_StorageVolume.GetBlockSize() FAILED!");
    Require(Get_Volume_NumberOfBlocks(blocks), "m_StorageVolume.GetNumberOfBlocks() FAILED!");
    sizeInBytes = blockSize * blocks;
    return MerrowReturnValue();
}

MerrowReturnValue
Profile_BlockServices_Volume::GetCompositionName(UAEnums::VolumeCompositionName& composition) {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    // Read for completeness of the check; the composition does not depend on it.
    bool noSinglePointOfFailure = false;
    std::uint16_t packageRedundancy = 0;
    std::uint16_t dataRedundancy = 0;
    std::uint16_t stripeLength = 0;
    Require(Get_Volume_NoSinglePointOfFailure(noSinglePointOfFailure),
            "m_StorageVolume.GetNoSinglePointOfFailure() FAILED!");
    Require(Get_Volume_PackageRedundancy(packageRedundancy),
            "m_StorageVolume.GetPackageRedundancy() FAILED!");
    Require(Get_Volume_DataRedundancy(dataRedundancy),
            "m_StorageVolume.GetDataRedundancy() FAILED!");
    Require(Get_Volume_ExtentStripeLength(stripeLength),
            "m_StorageVolume.GetExtentStripeLength() FAILED!");
    composition =
        VolumeCompositionRules::FromRedundancy(stripeLength, dataRedundancy, packageRedundancy);
    return MerrowReturnValue();
}

MerrowReturnValue
Profile_BlockServices_Volume::GetMaxGrowSize(const std::vector<cim::CIMObjectPath>& disksToUse,
                                             std::uint64_t& growSize) {
    MWSCOPE_OBJ(this, "");
    ScopedLock lock(*this);
    std::uint16_t stripeLength = 0;
    MerrowReturnValue result = Get_StorageSetting_ExtentStripeLength(stripeLength);
    if (result.isFailure()) {
        MWTRACE(TV_SEVERE, TC_ERROR_INTERNAL_API_FAILURE)
            << "Get_StorageSetting_ExtentStripeLength() failed on path=" << GetRootObjectPath()
            << MWENDREC;
        return result;
    }
    const std::vector<cim::CIMObjectPath> candidates = CandidateExtents(disksToUse);
    if (candidates.empty()) {
        growSize = 0;
        return result;
    }
    FreeSpaces free;
    for (const cim::CIMObjectPath& extent : candidates)
        free.insert(FreeBytesOf(extent));
    UAEnums::VolumeCompositionName composition;
    Require(GetCompositionName(composition), "this->GetCompositionName() FAILED!");
    VolumeCompositionRules::MaxGrowSize(composition, stripeLength, free, growSize);
    return result;
}

std::vector<cim::CIMObjectPath>
Profile_BlockServices_Volume::CandidateExtents(const std::vector<cim::CIMObjectPath>& disks) {
    if (disks.empty())
        return ExtentsBelowLeaves();
    std::vector<cim::CIMObjectPath> extents;
    for (const cim::CIMObjectPath& disk : disks) {
        CIM_Object extent(this, disk, {Step("CIM_MediaPresent", "CIM_StorageExtent")});
        extent.SetConnection(GetConnection());
        extent.FetchData(false);
        if (extent.IsDataValid())
            AddUnique(extents, extent.GetCIMObjectPath());
    }
    return extents;
}

// The disk extents the volume's leaf extents lie on. From a leaf, "based on" leads both down
// to its disk extent and up to the volume, which is an extent too: the volume is left out.
std::vector<cim::CIMObjectPath> Profile_BlockServices_Volume::ExtentsBelowLeaves() {
    CIM_ObjectList leaves(this, GetRootObjectPath(), {Step("CIM_BasedOn", "Merrow_LeafExtent")});
    leaves.SetConnection(GetConnection());
    std::vector<cim::CIMObjectPath> extents;
    for (const cim::CIMObject& leaf : leaves.GetObjects()) {
        CIM_ObjectList below(this, leaf.getPath(), {Step("CIM_BasedOn", "CIM_StorageExtent")});
        below.SetConnection(GetConnection());
        for (const cim::CIMObject& extent : below.GetObjects()) {
            if (extent.getClassName() != cim::CIMName("CIM_StorageVolume"))
                AddUnique(extents, extent.getPath());
        }
    }
    return extents;
}

std::uint64_t Profile_BlockServices_Volume::FreeBytesOf(const cim::CIMObjectPath& diskExtent) {
    CIM_StorageExtent extent(this, diskExtent, {});
    extent.SetConnection(GetConnection());
    std::uint64_t blockSize = 0;
    std::uint64_t blocks = 0;
    Require(extent.Get_BlockSize(blockSize), "extent.GetBlockSize() FAILED!");
    Require(extent.Get_NumberOfBlocks(blocks), "extent.GetNumberOfBlocks() FAILED!");
    CIM_ObjectList leaves(this, diskExtent, {Step("CIM_BasedOn", "Merrow_LeafExtent")});
    leaves.SetConnection(GetConnection());
    std::uint64_t used = 0;
    for (const cim::CIMObject& leaf : leaves.GetObjects())
        used += LeafBlocks(leaf);
    return (blocks > used ? blocks - used : 0) * blockSize;
}

MerrowReturnValue Profile_BlockServices_Volume::GetIsReconfiguring(bool& isReconfiguring) {
    MWSCOPE_OBJ(this, "");
    std::vector<cim::CIMObject> shadows;
    MerrowReturnValue result = Get_ShadowVolume_List(shadows);
    if (!result.isFailure())
        isReconfiguring = !shadows.empty();
    return result;
}

MerrowReturnValue Profile_BlockServices_Volume::MediaScan(std::uint32_t priority,
                                                          const cim::CIMDateTime& startTime,
                                                          std::uint16_t periodicityType,
                                                          std::uint16_t periodicity) {
    MWSCOPE_OBJ(this, "");
    return Scan(kMediaScan, "MEDIA_SCAN", priority, startTime, periodicityType, periodicity);
}

MerrowReturnValue Profile_BlockServices_Volume::ParityScan(std::uint32_t priority,
                                                           const cim::CIMDateTime& startTime,
                                                           std::uint16_t periodicityType,
                                                           std::uint16_t periodicity) {
    MWSCOPE_OBJ(this, "");
    return Scan(kParityScan, "PARITY_SCAN", priority, startTime, periodicityType, periodicity);
}

MerrowReturnValue Profile_BlockServices_Volume::Scan(std::uint16_t scanType, const char* scanName,
                                                     std::uint32_t priority,
                                                     const cim::CIMDateTime& startTime,
                                                     std::uint16_t periodicityType,
                                                     std::uint16_t periodicity) {
    ScopedLock lock(*this);
    cim::CIMObjectPath job;
    const std::uint32_t execRtn = m_Merrow_StorageConfigurationService.ExecScanStorageElement(
        scanType, priority, startTime, periodicityType, periodicity, GetRootObjectPath(), job);
    if (ExecResult::Succeeded(execRtn))
        return MerrowReturnValue();
    const MerrowReturnValue failure =
        MerrowReturnValue::fromArrayResult(static_cast<std::int32_t>(execRtn));
    MWTRACE(TV_SEVERE, TC_ERROR_RECOVERABLE)
        << "execRtn=m_Merrow_StorageConfigurationService.ExecScanStorageElement(" << scanName
        << ",...) FAILED - msg=" << failure.getMessage() << MWENDREC;
    return failure;
}

} // namespace Merrow::UserAgent
