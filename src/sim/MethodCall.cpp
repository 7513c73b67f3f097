#include "sim/MethodCall.h"

#include "cim/value/CIMKeyBinding.h"

#include <chrono>
#include <strings.h>

namespace Merrow::Sim {

MethodCall::MethodCall(ModelTransaction& transaction, const SimulatorSettings& settings, cim::CIMObjectPath target,
                       std::map<std::string, cim::CIMValue> in)
    : m_transaction(transaction), m_settings(settings), m_target(std::move(target)), m_in(std::move(in))
{
}

const cim::CIMValue* MethodCall::find(const char* name) const
{
    for (const auto& [key, value] : m_in) {
        if (::strcasecmp(key.c_str(), name) == 0)
            return &value;
    }
    return nullptr;
}

bool MethodCall::has(const char* name) const
{
    const cim::CIMValue* value = find(name);
    return value != nullptr && !value->isNull();
}

std::vector<cim::CIMObjectPath> MethodCall::references(const char* name) const
{
    const cim::CIMValue* value = find(name);
    if (value == nullptr || value->isNull())
        return {};
    if (!value->isArray())
        return {value->get<cim::CIMObjectPath>()};
    return value->get<std::vector<cim::CIMObjectPath>>();
}

std::vector<std::string> MethodCall::strings(const char* name) const
{
    const cim::CIMValue* value = find(name);
    if (value == nullptr || value->isNull())
        return {};
    if (!value->isArray())
        return {value->get<std::string>()};
    return value->get<std::vector<std::string>>();
}

void MethodCall::out(const char* name, cim::CIMValue value)
{
    m_out.emplace_back(name, std::move(value));
}

std::string MethodCall::primaryValue(const cim::CIMObjectPath& path, const char* className) const
{
    if (path.isNull())
        return {};
    const StoredObject* object = view().storage.find(path);
    const ClassInfo* wanted = ClassRegistry::instance().find(Namespaces::Storage, className);
    if (object == nullptr || wanted == nullptr || !object->cls->isA(*wanted))
        return {};
    const cim::CIMValue& value = object->instance->getPropertyValue(object->cls->primaryKey);
    return cim::CIMKeyBinding(object->cls->primaryKey, value).getValue();
}

namespace {

template <typename Map>
auto* lookup(Map& items, const std::string& id)
{
    auto found = items.find(id);
    return found == items.end() ? nullptr : &found->second;
}

} // namespace

SimVolume* MethodCall::volume(const cim::CIMObjectPath& path)
{
    return lookup(state().volumes, primaryValue(path, "CIM_StorageVolume"));
}

SimVolume* MethodCall::volumeOfTarget(const cim::CIMObjectPath& path)
{
    const std::string targetId = primaryValue(path, "CIM_SCSIProtocolController");
    if (targetId.empty())
        return nullptr;
    for (auto& [id, volume] : state().volumes) {
        if (volume.target.id == targetId)
            return &volume;
    }
    return nullptr;
}

SimDisk* MethodCall::disk(const cim::CIMObjectPath& path)
{
    return lookup(state().disks, primaryValue(path, "CIM_DiskDrive"));
}

SimInitiator* MethodCall::initiator(const cim::CIMObjectPath& path)
{
    return lookup(state().initiators, primaryValue(path, "CIM_StorageHardwareID"));
}

SimJob* MethodCall::job(const cim::CIMObjectPath& path)
{
    return lookup(state().jobs, primaryValue(path, "CIM_ConcreteJob"));
}

SimPort* MethodCall::port(const cim::CIMObjectPath& path)
{
    return lookup(state().ports, primaryValue(path, "CIM_EthernetPort"));
}

SimLag* MethodCall::lag(const cim::CIMObjectPath& path)
{
    return lookup(state().lags, primaryValue(path, "Merrow_DataLinkEndpoint"));
}

SimPortal* MethodCall::portal(const cim::CIMObjectPath& path)
{
    return lookup(state().portals, primaryValue(path, "CIM_TCPProtocolEndpoint"));
}

std::string MethodCall::pool(const cim::CIMObjectPath& path) const
{
    return primaryValue(path, "CIM_StoragePool");
}

cim::CIMObjectPath MethodCall::devicePath(const char* className, const std::string& deviceId) const
{
    return cim::CIMObjectPath("", Namespaces::Storage, className,
                              {cim::CIMKeyBinding("SystemCreationClassName", cim::CIMValue("CIM_ComputerSystem")),
                               cim::CIMKeyBinding("SystemName", cim::CIMValue(view().names.systemName())),
                               cim::CIMKeyBinding("CreationClassName", cim::CIMValue(className)),
                               cim::CIMKeyBinding("DeviceID", cim::CIMValue(deviceId))});
}

cim::CIMObjectPath MethodCall::accessPointPath(const char* className, const std::string& systemName,
                                               const std::string& name) const
{
    return cim::CIMObjectPath("", Namespaces::Storage, className,
                              {cim::CIMKeyBinding("SystemCreationClassName", cim::CIMValue("CIM_ComputerSystem")),
                               cim::CIMKeyBinding("SystemName", cim::CIMValue(systemName)),
                               cim::CIMKeyBinding("CreationClassName", cim::CIMValue(className)),
                               cim::CIMKeyBinding("Name", cim::CIMValue(name))});
}

cim::CIMObjectPath MethodCall::instancePath(const char* className, const std::string& instanceId)
{
    return cim::CIMObjectPath("", Namespaces::Storage, className,
                              {cim::CIMKeyBinding("InstanceID", cim::CIMValue(instanceId))});
}

std::int64_t MethodCall::nowMilliseconds() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace Merrow::Sim
