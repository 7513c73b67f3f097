#include "sim/InstanceModifier.h"

#include "sim/ArrayFailureCodes.h"
#include "sim/ArrayNameRules.h"
#include "sim/CimJson.h"
#include "sim/ListenerObjects.h"
#include "sim/ModelNames.h"
#include "sim/VolumeSettings.h"

#include "cim/value/CIMException.h"
#include "cim/value/CIMKeyBinding.h"
#include "cim/value/CIMProperty.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

namespace Merrow::Sim {

namespace {

using cim::CIMException;
using cim::CIMStatusCode;

struct Change {
    std::string name;
    cim::CIMValue value;
};

using Apply = void (*)(ModelTransaction&, const StoredObject&, const Change&);

struct Rule {
    const char* className;
    // Nullptr: every non-key property of the class.
    const char* property;
    Apply apply;
};

std::string primaryValue(const StoredObject& object)
{
    return cim::CIMKeyBinding(object.cls->primaryKey, object.instance->getPropertyValue(object.cls->primaryKey)).getValue();
}

std::string text(const Change& change)
{
    if (change.value.isNull())
        return {};
    return change.value.get<std::string>();
}

// A name as the array takes it: what it could not show again is an invalid parameter.
std::string nameText(const Change& change)
{
    std::string name = text(change);
    if (ArrayNameRules::problem(name))
        throw CIMException(CIMStatusCode::InvalidParameter, ArrayFailureCodes::text(ArrayFailure::InvalidParameter));
    return name;
}

SimVolume& volumeOfTarget(ArrayState& state, const std::string& targetId)
{
    for (auto& [id, volume] : state.volumes) {
        if (volume.target.id == targetId)
            return volume;
    }
    throw CIMException(CIMStatusCode::NotFound, targetId);
}

void renameVolume(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    ArrayState& state = transaction.state();
    const std::string id = primaryValue(object);
    auto volume = state.volumes.find(id);
    if (volume == state.volumes.end())
        throw CIMException(CIMStatusCode::Failed, ArrayFailureCodes::text(ArrayFailure::ShadowVolume));
    const std::string name = nameText(change);
    if (name.empty())
        throw CIMException(CIMStatusCode::InvalidParameter, ArrayFailureCodes::text(ArrayFailure::NoVolumeName));
    const SimVolume* other = state.findVolumeByName(name);
    if (other != nullptr && other->id != id)
        throw CIMException(CIMStatusCode::Failed, ArrayFailureCodes::text(ArrayFailure::DuplicateVolumeName));
    volume->second.name = name;
    transaction.touchVolume(id);
}

void renameTarget(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    SimVolume& volume = volumeOfTarget(transaction.state(), primaryValue(object));
    volume.target.name = nameText(change);
    transaction.touchVolume(volume.id);
}

void setSecret(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    const std::string secret = text(change);
    if (!secret.empty() && (secret.size() < 12 || secret.size() > 16))
        throw CIMException(CIMStatusCode::InvalidParameter, "Secret must be 12-16 chars in length");
    ArrayState& state = transaction.state();
    const std::string remote = primaryValue(object);
    for (auto& [id, volume] : state.volumes) {
        if (volume.target.iqn == remote) {
            volume.target.secret = secret;
            transaction.touchVolume(id);
            return;
        }
    }
    for (auto& [id, initiator] : state.initiators) {
        if (initiator.name == remote) {
            initiator.secret = secret;
            transaction.touchInitiator(id);
            return;
        }
    }
}

// Session and connection settings carry their target's id after a four-character prefix.
SimVolume& volumeOfSettings(ArrayState& state, const StoredObject& object)
{
    return volumeOfTarget(state, primaryValue(object).substr(4));
}

void setAuthentication(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    const std::uint16_t method = change.value.get<std::uint16_t>();
    const bool primary = ::strcasecmp(change.name.c_str(), "PrimaryAuthenticationMethod") == 0;
    if (method != AuthMethod::None && method != AuthMethod::Chap) {
        throw CIMException(CIMStatusCode::InvalidParameter,
                           ArrayFailureCodes::text(primary ? ArrayFailure::InvalidPrimaryAuthentication
                                                           : ArrayFailure::InvalidSecondaryAuthentication));
    }
    SimVolume& volume = volumeOfSettings(transaction.state(), object);
    (primary ? volume.target.primaryAuthentication : volume.target.secondaryAuthentication) = method;
    transaction.touchVolume(volume.id);
}

void setTargetSetting(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    SimVolume& volume = volumeOfSettings(transaction.state(), object);
    volume.target.settings[change.name] = CimJson::valueToJson(change.value);
    transaction.touchVolume(volume.id);
}

void setVolumeSetting(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    const std::string prefix = ModelNames::volumeSettingId("");
    const std::string id = primaryValue(object);
    auto volume = transaction.state().volumes.find(id.substr(prefix.size()));
    if (id.rfind(prefix, 0) != 0 || volume == transaction.state().volumes.end())
        throw CIMException(CIMStatusCode::NotFound, id);
    VolumeSettings::apply(volume->second, change.name, change.value);
    transaction.touchVolume(volume->first);
}

void setJobPriority(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    auto job = transaction.state().jobs.find(primaryValue(object));
    if (job == transaction.state().jobs.end())
        throw CIMException(CIMStatusCode::NotFound, primaryValue(object));
    job->second.priority = change.value.get<std::uint32_t>();
    transaction.touch(ModelProjection::group(GroupKind::Job, job->first));
}

void setArrayName(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    if (object.cls->name == "CIM_ComputerSystem" && primaryValue(object) != transaction.view().names.systemName())
        throw CIMException(CIMStatusCode::NotSupported, "a controller's ElementName is read-only");
    const std::string name = nameText(change);
    if (name.empty())
        throw CIMException(CIMStatusCode::InvalidParameter, "the array name may not be empty");
    transaction.state().system.name = name;
    transaction.touch(GroupKind::System);
}

void renameInitiator(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    auto initiator = transaction.state().initiators.find(primaryValue(object));
    if (initiator == transaction.state().initiators.end())
        throw CIMException(CIMStatusCode::NotFound, primaryValue(object));
    initiator->second.elementName = nameText(change);
    transaction.touchInitiator(initiator->first);
}

void setSystemSetting(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    nlohmann::json& settings = transaction.state().system.settings[primaryValue(object)];
    settings[change.name] = CimJson::valueToJson(change.value);
    transaction.touch(GroupKind::System);
}

// The administration settings objects (system policy, external connections).
void setAdministrationSetting(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    nlohmann::json& settings = transaction.state().system.settings[primaryValue(object)];
    settings[change.name] = CimJson::valueToJson(change.value);
    transaction.touch(GroupKind::Administration);
}

// "Undefined" and "Unknown" are what the array reports when it cannot tell; nobody may
// choose them.
void setBatteryPolicy(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    const std::uint16_t policy = change.value.get<std::uint16_t>();
    if (policy < 2 || policy > 5)
        throw CIMException(CIMStatusCode::InvalidParameter, ArrayFailureCodes::text(ArrayFailure::InvalidParameter));
    setAdministrationSetting(transaction, object, change);
}

void setFailoverPolicy(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    const std::uint16_t policy = change.value.get<std::uint16_t>();
    if (policy < 1 || policy > 2)
        throw CIMException(CIMStatusCode::InvalidParameter, ArrayFailureCodes::text(ArrayFailure::InvalidParameter));
    setAdministrationSetting(transaction, object, change);
}

// A server the array reaches by name or IPv4 address; empty switches the connection off.
bool isHostOrAddress(const std::string& text)
{
    if (text.empty())
        return true;
    const bool allowed = std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '.' || c == '-';
    });
    return allowed && text.size() <= 253 && text.front() != '.' && text.front() != '-' && text.back() != '.' &&
           text.back() != '-';
}

bool isEmailAddress(const std::string& text)
{
    const std::size_t at = text.find('@');
    return text.empty() ||
           (at != std::string::npos && at > 0 && text.find('@', at + 1) == std::string::npos &&
            isHostOrAddress(text.substr(at + 1)) && at + 1 < text.size());
}

void setServerAddress(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    if (!isHostOrAddress(text(change)))
        throw CIMException(CIMStatusCode::InvalidParameter, ArrayFailureCodes::text(ArrayFailure::InvalidIpAddress));
    setAdministrationSetting(transaction, object, change);
}

void setEmailAddress(ModelTransaction& transaction, const StoredObject& object, const Change& change)
{
    if (!isEmailAddress(text(change)))
        throw CIMException(CIMStatusCode::InvalidParameter, ArrayFailureCodes::text(ArrayFailure::InvalidParameter));
    setAdministrationSetting(transaction, object, change);
}

const Rule kRules[] = {
    {"CIM_StorageVolume", "ElementName", renameVolume},
    {"CIM_SCSIProtocolController", "ElementName", renameTarget},
    {"CIM_SharedSecret", "Secret", setSecret},
    {"CIM_iSCSIConnectionSettings", "PrimaryAuthenticationMethod", setAuthentication},
    {"CIM_iSCSIConnectionSettings", "SecondaryAuthenticationMethod", setAuthentication},
    {"CIM_iSCSIConnectionSettings", nullptr, setTargetSetting},
    // The session settings show the same two methods of the target; either object sets them.
    {"CIM_iSCSISessionSettings", "PrimaryAuthenticationMethod", setAuthentication},
    {"CIM_iSCSISessionSettings", "SecondaryAuthenticationMethod", setAuthentication},
    {"CIM_iSCSISessionSettings", nullptr, setTargetSetting},
    {"CIM_ConcreteJob", "Priority", setJobPriority},
    {"CIM_StorageSettingWithHints", "IsReadOnly", setVolumeSetting},
    {"CIM_StorageSettingWithHints", "IsSyncCacheDisabled", setVolumeSetting},
    {"CIM_StorageSettingWithHints", "IsOptimizedForMultiTrackAudio", setVolumeSetting},
    {"CIM_StorageSettingWithHints", "ReadAheadSizeIsAutomatic", setVolumeSetting},
    {"CIM_StorageSettingWithHints", "ReadAheadByteCount", setVolumeSetting},
    {"CIM_StorageSettingWithHints", "BlockSizeBytes", setVolumeSetting},
    {"Merrow_SystemSettingsRedundantPair", "Name", setArrayName},
    {"CIM_ComputerSystem", "ElementName", setArrayName},
    {"CIM_StorageHardwareID", "ElementName", renameInitiator},
    {"Merrow_SystemSettingsNetworkOutbandPort", nullptr, setSystemSetting},
    {"Merrow_SystemSettingsiScsiParams", nullptr, setSystemSetting},
    {"Merrow_iSNSSettings", nullptr, setSystemSetting},
    {"Merrow_IPSettings", nullptr, setSystemSetting},
    {"Merrow_TCPSettings", nullptr, setSystemSetting},
    {"Merrow_SystemPolicySettings", "BatteryPolicy", setBatteryPolicy},
    {"Merrow_SystemPolicySettings", "FailoverPolicy", setFailoverPolicy},
    {"Merrow_ExternalConnectionsSettings", "SMTPServerAddress", setServerAddress},
    {"Merrow_ExternalConnectionsSettings", "SNMPTrapDestination", setServerAddress},
    {"Merrow_ExternalConnectionsSettings", "NTPServerAddress", setServerAddress},
    {"Merrow_ExternalConnectionsSettings", "SyslogServerAddress", setServerAddress},
    {"Merrow_ExternalConnectionsSettings", "EmailSenderAddress", setEmailAddress},
    {"Merrow_ExternalConnectionsSettings", "EmailRecipientAddress", setEmailAddress},
    {"Merrow_ExternalConnectionsSettings", nullptr, setAdministrationSetting},
};

const Rule* findRule(const ClassInfo& cls, const std::string& property)
{
    for (const Rule& rule : kRules) {
        if (cls.name != rule.className)
            continue;
        if (rule.property == nullptr || ::strcasecmp(rule.property, property.c_str()) == 0) {
            // An exact rule of the class wins over its catch-all.
            if (rule.property == nullptr) {
                for (const Rule& exact : kRules) {
                    if (cls.name == exact.className && exact.property != nullptr &&
                        ::strcasecmp(exact.property, property.c_str()) == 0)
                        return &exact;
                }
            }
            return &rule;
        }
    }
    return nullptr;
}

bool isKey(const ClassInfo& cls, const std::string& property)
{
    for (const std::string& key : cls.keys) {
        if (::strcasecmp(key.c_str(), property.c_str()) == 0)
            return true;
    }
    return false;
}

// The properties the modification really changes, checked before anything is applied.
std::vector<Change> changesOf(const StoredObject& object, const cim::CIMInstance& modified,
                              const cim::CIMPropertyList& propertyList)
{
    std::vector<Change> changes;
    for (const cim::CIMProperty& property : modified.getProperties()) {
        if (!propertyList.includes(property.getName()))
            continue;
        const std::string& name = property.getName().getString();
        const std::size_t index = object.instance->findProperty(property.getName());
        if (index == cim::CIMPropertyContainer::npos)
            throw CIMException(CIMStatusCode::NoSuchProperty, name + " is not a property of " + object.cls->name);
        const cim::CIMProperty& stored = object.instance->getProperty(index);
        if (property.getType() != stored.getType() || property.isArray() != stored.isArray())
            throw CIMException(CIMStatusCode::TypeMismatch, name + " is of type " +
                                                                std::string(cim::cimTypeName(stored.getType())));
        if (property.getValue() == stored.getValue())
            continue;
        if (isKey(*object.cls, name))
            throw CIMException(CIMStatusCode::NotSupported, "key property " + name + " cannot change");
        changes.push_back({stored.getName().getString(), property.getValue()});
    }
    return changes;
}

} // namespace

void InstanceModifier::modify(ModelTransaction& transaction, const StoredObject& object,
                              const cim::CIMInstance& modified, const cim::CIMPropertyList& propertyList)
{
    const std::vector<Change> changes = changesOf(object, modified, propertyList);
    if (changes.empty())
        return;
    if (ListenerObjects::isListenerClass(*object.cls)) {
        cim::CIMInstance updated = *object.instance;
        for (const Change& change : changes)
            updated.setPropertyValue(change.name, change.value);
        ListenerObjects::replace(transaction, object, updated);
        return;
    }
    std::vector<std::pair<const Rule*, const Change*>> writes;
    for (const Change& change : changes) {
        const Rule* rule = findRule(*object.cls, change.name);
        if (rule != nullptr) {
            writes.emplace_back(rule, &change);
            continue;
        }
        // A whole instance sent back carries read-only values that may have moved on since
        // the client read them (a job's progress); only a property the client named is a
        // request to change it.
        if (!propertyList.isNull())
            throw CIMException(CIMStatusCode::NotSupported, change.name + " of " + object.cls->name + " is read-only");
    }
    for (const auto& [rule, change] : writes)
        rule->apply(transaction, object, *change);
}

} // namespace Merrow::Sim
