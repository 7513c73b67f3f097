#pragma once

// The array as a whole: the top system and its two controllers, the chassis with its drive
// slots, the configuration services, the array's settings objects, the firmware images,
// the ping object, and the five pools.
//
// Association chains served here:
//   top -CIM_ComponentCS-> controllers; controller -CIM_ComponentCS-> top (exactly one)
//   top -CIM_ComputerSystemPackage-> chassis
//   top -CIM_HostedStoragePool-> the five pools
//   top -CIM_HostedService-> each configuration service
//   controller -Merrow_AssociatedControllerInfo-> its Merrow_SystemSettingsController
//   controller -Merrow_FirmwareImagesForController-> its Merrow_FirmwareImagesInfo
// The services and the system-wide settings objects are singletons that clients find by
// enumerating their class; the class table keeps them free of subclasses with instances.

#include "sim/ProjectionContext.h"

namespace Merrow::Sim {

class SystemProjection {
public:
    explicit SystemProjection(const ProjectionContext& context) : m_context(context) {}

    ProjectedGroup system() const;
    // Empty when there is no such pool.
    ProjectedGroup pool(const std::string& poolId) const;

    static const std::vector<std::string>& poolIds();
    static std::uint16_t driveSlots(const ArrayState& state);

private:
    void addSystems(ProjectedGroup& group) const;
    void addChassis(ProjectedGroup& group) const;
    void addServices(ProjectedGroup& group) const;
    void addArraySettings(ProjectedGroup& group) const;
    void addControllerObjects(ProjectedGroup& group, int controller) const;
    cim::CIMInstance settingsObject(InstanceBuilder builder, const std::string& instanceId) const;

    const ProjectionContext& m_context;
};

} // namespace Merrow::Sim
