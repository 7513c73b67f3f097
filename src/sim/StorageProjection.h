#pragma once

// Disks, volumes and jobs.
//
// Association chains served here (arrow: association -> result class):
//   disk -CIM_MediaPresent-> its disk extent (CIM_StorageExtent)
//   disk extent -CIM_RealizesExtent-> CIM_PhysicalMedia
//   disk -CIM_ConcreteComponent-> its pool; pool -CIM_ConcreteComponent-> disk extents
//   disk extent -CIM_BasedOn-> Merrow_LeafExtent (the volume pieces on the disk)
//   disk -Merrow_SMARTDataForDrive-> Merrow_DriveSMARTStatus
//   top -CIM_SystemDevice-> disks, volumes, targets
//   volume -CIM_ElementSettingData-> CIM_StorageSettingWithHints
//   volume -CIM_AllocatedFromStoragePool-> its base pool
//   volume -CIM_BasedOn-> Merrow_LeafExtent; leaf -CIM_BasedOn-> CIM_StorageVolume
//   leaf -CIM_BasedOn-> CIM_StorageExtent -CIM_MediaPresent-> CIM_DiskDrive
//   volume -CIM_ProtocolControllerForUnit-> its target (CIM_SCSIProtocolController)
//   volume -Merrow_VolumeReconfiguring-> the shadow volume while a reconfiguration runs
//   volume or disk -CIM_AffectedJobElement-> CIM_ConcreteJob
//   target -CIM_SAPAvailableForElement2-> CIM_iSCSIProtocolEndpoint
//   target -CIM_ElementSettingData-> CIM_iSCSISessionSettings and CIM_iSCSIConnectionSettings
//   target -CIM_ConcreteIdentity-> its CIM_SharedSecret
//
// Choices where a plain CIM reading would give a walk more than its caller wants:
// - CIM_BasedOn from a leaf extent reaches both the disk extent below it and the volume
//   above it, and both are CIM_StorageExtents. Callers that ask for CIM_StorageExtent want
//   the disk below (to find the disk, to count free space), so the link up to the volume
//   only answers walks that ask for CIM_StorageVolume (or name no result class).
// - The disk profile walks CIM_BasedOn to the leaf extents and CIM_ConcreteComponent to the
//   pool from the disk drive itself as well as from its disk extent, so the drive carries
//   both links too. Neither adds anything to a walk that starts elsewhere, because a disk
//   drive is not a storage extent.
// - A shadow volume is not a system device: the volume lists of clients keep showing the
//   one volume being reconfigured, not two.

#include "sim/ProjectionContext.h"

namespace Merrow::Sim {

class StorageProjection {
public:
    explicit StorageProjection(const ProjectionContext& context) : m_context(context) {}

    // Each is empty when the object no longer exists.
    ProjectedGroup disk(const std::string& diskId) const;
    ProjectedGroup volume(const std::string& volumeId) const;
    ProjectedGroup job(const std::string& jobId) const;

    // The key of the object a job's owner id names, or empty when it is gone.
    std::string ownerKey(const std::string& ownerId) const;

private:
    void addVolumeObject(ProjectedGroup& group, const SimVolume& volume) const;
    void addShadow(ProjectedGroup& group, const SimVolume& volume) const;
    void addLeafExtents(ProjectedGroup& group, const SimVolume& volume) const;
    void addTarget(ProjectedGroup& group, const SimVolume& volume) const;
    cim::CIMInstance volumeInstance(const std::string& deviceId, const std::string& elementName,
                                    const std::string& durableName, const SimVolumeLayout& layout,
                                    std::uint16_t operationalStatus) const;

    const ProjectionContext& m_context;
};

} // namespace Merrow::Sim
