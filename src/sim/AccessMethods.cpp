#include "sim/AccessMethods.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/DefaultArray.h"

#include <algorithm>

namespace Merrow::Sim {

namespace {

using namespace ArrayFailure;

struct Pairs {
    std::vector<const SimInitiator*> initiators;
    std::vector<const SimVolume*> volumes;
};

std::uint32_t readTargets(MethodCall& call, std::vector<const SimVolume*>& volumes)
{
    for (const cim::CIMObjectPath& path : call.references("ProtocolControllers")) {
        const SimVolume* volume = call.volumeOfTarget(path);
        if (volume == nullptr)
            return TargetNotFound;
        volumes.push_back(volume);
    }
    if (!volumes.empty())
        return Ok;
    for (const std::string& deviceId : call.strings("LUNames")) {
        auto volume = call.state().volumes.find(deviceId);
        if (volume == call.state().volumes.end())
            return VolumeDoesNotExist;
        volumes.push_back(&volume->second);
    }
    return volumes.empty() ? InvalidParameter : Ok;
}

std::uint32_t readPairs(MethodCall& call, Pairs& pairs)
{
    const std::vector<std::string> names = call.strings("InitiatorPortIDs");
    if (names.empty())
        return InvalidParameter;
    for (const std::string& name : names) {
        const SimInitiator* initiator = call.state().findInitiatorByName(name);
        if (initiator == nullptr)
            return InitiatorNotFound;
        pairs.initiators.push_back(initiator);
    }
    return readTargets(call, pairs.volumes);
}

void outControllers(MethodCall& call, const std::vector<const SimVolume*>& volumes)
{
    std::vector<cim::CIMObjectPath> paths;
    for (const SimVolume* volume : volumes)
        paths.push_back(call.devicePath("CIM_SCSIProtocolController", volume->target.id));
    call.out("ProtocolControllers", cim::CIMValue(std::move(paths)));
}

} // namespace

bool AccessMethods::isLegalInitiatorName(const std::string& name)
{
    if (name.empty() || name.size() > 223)
        return false;
    return std::none_of(name.begin(), name.end(), [](unsigned char c) { return c <= ' ' || c == 0x7F; });
}

std::uint32_t AccessMethods::exposePaths(MethodCall& call)
{
    Pairs pairs;
    if (std::uint32_t failure = readPairs(call, pairs))
        return failure;
    for (const SimInitiator* initiator : pairs.initiators) {
        for (const SimVolume* volume : pairs.volumes) {
            if (call.state().findGrant(initiator->id, volume->id) != nullptr)
                return InitiatorAlreadyOnTarget;
        }
    }
    for (const SimInitiator* initiator : pairs.initiators) {
        for (const SimVolume* volume : pairs.volumes) {
            SimGrant grant{call.state().allocateId(IdPrefix::Privilege), initiator->id, volume->id};
            call.transaction().touch(ModelProjection::group(GroupKind::Grant, grant.id));
            call.state().grants.emplace(grant.id, grant);
        }
    }
    outControllers(call, pairs.volumes);
    return Ok;
}

std::uint32_t AccessMethods::hidePaths(MethodCall& call)
{
    Pairs pairs;
    if (std::uint32_t failure = readPairs(call, pairs))
        return failure;
    std::vector<std::string> grants;
    for (const SimInitiator* initiator : pairs.initiators) {
        for (const SimVolume* volume : pairs.volumes) {
            const SimGrant* grant = call.state().findGrant(initiator->id, volume->id);
            if (grant == nullptr)
                return InitiatorNotOnTarget;
            grants.push_back(grant->id);
        }
    }
    for (const std::string& id : grants) {
        call.transaction().touch(ModelProjection::group(GroupKind::Grant, id));
        call.state().grants.erase(id);
    }
    outControllers(call, pairs.volumes);
    return Ok;
}

std::uint32_t AccessMethods::createStorageHardwareId(MethodCall& call)
{
    const std::string name = call.in<std::string>("StorageID", "");
    if (name.empty())
        return NoInitiatorName;
    if (call.in<std::uint16_t>("IDType", kIscsiNameIdType) != kIscsiNameIdType)
        return InvalidParameter;
    if (!isLegalInitiatorName(name))
        return IllegalInitiatorName;
    // A secret is found by the name of its remote party, so no initiator may share a
    // target's name.
    for (const auto& [id, volume] : call.state().volumes) {
        if (volume.target.iqn == name)
            return IllegalInitiatorName;
    }
    if (call.state().findInitiatorByName(name) != nullptr)
        return InitiatorExists;
    const std::string id = DefaultArray::addInitiator(call.state(), name);
    const std::string elementName = call.in<std::string>("ElementName", "");
    if (!elementName.empty())
        call.state().initiators.at(id).elementName = elementName;
    call.transaction().touchInitiator(id);
    call.out("HardwareID", cim::CIMValue(MethodCall::instancePath("CIM_StorageHardwareID", id)));
    return Ok;
}

std::uint32_t AccessMethods::deleteStorageHardwareId(MethodCall& call)
{
    const auto path = call.in<cim::CIMObjectPath>("HardwareID");
    const SimInitiator* initiator = path ? call.initiator(*path) : nullptr;
    if (initiator == nullptr)
        return InitiatorNotFound;
    for (const auto& [id, session] : call.state().sessions) {
        if (session.initiatorName == initiator->name)
            return InitiatorLoggedIn;
    }
    const std::string id = initiator->id;
    call.transaction().touchInitiator(id);
    std::erase_if(call.state().grants, [&](const auto& item) { return item.second.initiatorId == id; });
    call.state().initiators.erase(id);
    return Ok;
}

} // namespace Merrow::Sim
